#pragma once
#include "sim/SimConversation.h"

// The screenshot: ACK, then the 3840 bytes of the display in one data
// packet, which the computer acknowledges.
class ScreenshotConversation : public SimConversation {
public:
    using SimConversation::SimConversation;
    Result Begin(const SimPacket& opening) override;
    Result OnPacket(const SimPacket& p) override;
    std::string Name() const override { return "screenshot"; }
};
