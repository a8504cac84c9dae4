#pragma once
#include "sim/SimConversation.h"

// The memory backup requested by the computer: ACK, then per block of at
// most 1024 bytes a header named with the ROM version, answered by ACK and
// the block request (CTS for 1024 bytes), then ACK and the block's data
// packet; an end of transmission last. Any other answer ends it unanswered.
class BackupToComputerConversation : public SimConversation {
public:
    static constexpr size_t kBlockSize = 1024;

    using SimConversation::SimConversation;
    Result Begin(const SimPacket& opening) override;
    Result OnPacket(const SimPacket& p) override;
    std::string Name() const override { return "backup to the computer"; }

private:
    void SendHeaderOrEnd();
    enum class State { AwaitHeaderAck, AwaitBlockRequest, AwaitDataAck, AwaitFinalAck };
    State fState = State::AwaitHeaderAck;
    std::string fImage;
    size_t fPos = 0;
    int fBlocks = 0;
};
