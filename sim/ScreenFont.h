#pragma once
#include <string>

class VirtualTI92;

// A small font for the virtual TI-92's screen: 3 x 5 pixels a character,
// 4 pixels from one character to the next. Characters it has no glyph for
// are drawn as a box.
namespace ScreenFont {
constexpr int kAdvance = 4;
constexpr int kHeight = 5;

// Draws text with its top left corner at (x, y); returns the x after it.
int DrawText(VirtualTI92& calc, int x, int y, const std::string& text);
int TextWidth(const std::string& text);
}  // namespace ScreenFont
