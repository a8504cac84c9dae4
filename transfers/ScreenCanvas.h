#pragma once
#include <array>
#include <cstdint>

// Where a screenshot is drawn while it arrives: the calculator's display,
// 240 x 128 pixels, white until a received bit paints a pixel black.
// Pixels outside the display are ignored.
class ScreenCanvas {
public:
    static constexpr int kWidth = 240;
    static constexpr int kHeight = 128;
    static constexpr int kRowBytes = kWidth / 8;
    static constexpr int kBytes = kRowBytes * kHeight;  // 3840

    virtual ~ScreenCanvas() = default;
    virtual void Clear() = 0;
    virtual void SetBlack(int x, int y) = 0;
};

// A canvas in memory: the display as the calculator sends it, 30 bytes a
// row, the leftmost pixel in the most significant bit, 1 = black.
class ScreenBitmap : public ScreenCanvas {
public:
    ScreenBitmap() { Clear(); }
    void Clear() override { fBits.fill(0); }
    void SetBlack(int x, int y) override;
    bool Black(int x, int y) const;
    const std::array<uint8_t, kBytes>& Bytes() const { return fBits; }
    bool operator==(const ScreenBitmap& other) const { return fBits == other.fBits; }

private:
    std::array<uint8_t, kBytes> fBits{};
};
