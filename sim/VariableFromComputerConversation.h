#pragma once
#include "sim/SimConversation.h"

// A variable sent by the computer: its header is answered with ACK and CTS,
// its data packet (checksum verified) with ACK, its end of transmission with
// ACK; the variable is then stored.
class VariableFromComputerConversation : public SimConversation {
public:
    using SimConversation::SimConversation;
    Result Begin(const SimPacket& opening) override;
    Result OnPacket(const SimPacket& p) override;
    std::string Name() const override { return "variable from the computer"; }

private:
    enum class State { AwaitData, AwaitEot };
    State fState = State::AwaitData;
    std::string fName;
    uint8_t fType = 0;
    std::string fBytes;
};
