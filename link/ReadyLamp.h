#pragma once
#include <cstdint>

// The link's readiness indicator; the main window draws it as a coloured lamp.
class ReadyLamp {
public:
    virtual ~ReadyLamp() = default;
    virtual void SetBrushColor(uint32_t rgb) = 0;  // 0xRRGGBB
};

constexpr uint32_t kLampGreen = 0x008000;
constexpr uint32_t kLampRed = 0xFF0000;
constexpr uint32_t kLampGrey = 0xC0C0C0;
