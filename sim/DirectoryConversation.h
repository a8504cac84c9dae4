#pragma once
#include <cstdint>
#include <vector>

#include "sim/SimConversation.h"

// The directory listing: an ACK and a header, then one data packet per
// entry (each folder followed by its variables), each answered with a
// continue packet or, after the last, an end of transmission.
class DirectoryConversation : public SimConversation {
public:
    using SimConversation::SimConversation;
    Result Begin(const SimPacket& opening) override;
    Result OnPacket(const SimPacket& p) override;
    std::string Name() const override { return "directory"; }

    // The 18 data bytes of every entry, in the order they are sent.
    static std::vector<std::string> Entries(const class VirtualTI92& calc);

private:
    static constexpr uint16_t kNextEntryWord = 0xFFFF;
    enum class State { AwaitCts, AwaitEntryAck, AwaitFinalAck };
    State fState = State::AwaitCts;
    std::vector<std::string> fEntries;
    size_t fNext = 0;
};
