#include "transfers/ScreenCanvas.h"

#include <cstddef>

namespace {

bool Inside(int x, int y)
{
    return x >= 0 && y >= 0 && x < ScreenCanvas::kWidth && y < ScreenCanvas::kHeight;
}

std::size_t ByteIndex(int x, int y)
{
    return static_cast<std::size_t>(y * ScreenCanvas::kRowBytes + x / 8);
}

}  // namespace

void ScreenBitmap::SetBlack(int x, int y)
{
    if (Inside(x, y))
        fBits[ByteIndex(x, y)] |= static_cast<uint8_t>(0x80 >> (x % 8));
}

bool ScreenBitmap::Black(int x, int y) const
{
    return Inside(x, y) && (fBits[ByteIndex(x, y)] & (0x80 >> (x % 8))) != 0;
}
