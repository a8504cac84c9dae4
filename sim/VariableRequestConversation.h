#pragma once
#include "sim/SimConversation.h"
#include "sim/VirtualTI92.h"

// A variable requested by the computer: ACK, variable header; on the
// computer's CTS an ACK and the data packet (zero prefix, size word, data);
// after its ACK an end of transmission, which the computer acknowledges.
class VariableRequestConversation : public SimConversation {
public:
    VariableRequestConversation(CalculatorLink& link, int requestNumber)
        : SimConversation(link), fRequestNumber(requestNumber)
    {
    }
    Result Begin(const SimPacket& opening) override;
    Result OnPacket(const SimPacket& p) override;
    std::string Name() const override { return "variable request"; }

private:
    enum class State { AwaitCts, AwaitDataAck, AwaitFinalAck };
    State fState = State::AwaitCts;
    int fRequestNumber;
    SimVariable fVariable;
};
