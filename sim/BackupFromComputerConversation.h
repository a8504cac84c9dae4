#pragma once
#include <cstdint>

#include "sim/SimConversation.h"

// A memory backup sent by the computer: the announcing header gets an ACK;
// each block header gets ACK and CTS, each block (checksum verified) an ACK.
// The end of transmission installs the image and is not answered.
class BackupFromComputerConversation : public SimConversation {
public:
    using SimConversation::SimConversation;
    Result Begin(const SimPacket& opening) override;
    Result OnPacket(const SimPacket& p) override;
    std::string Name() const override { return "backup from the computer"; }

private:
    enum class State { AwaitBlockHeader, AwaitBlock };
    State fState = State::AwaitBlockHeader;
    uint32_t fAnnounced = 0;
    int fBlocks = 0;
    std::string fImage;
};
