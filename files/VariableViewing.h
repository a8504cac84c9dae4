#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "files/ByteSource.h"
#include "files/TempStore.h"

// Lines of a text variable's bytes: CR (13) ends a line, bytes above 30 are
// characters, every other byte is dropped; the last line is always added.
std::vector<std::string> DecodeTextLines(std::string_view bytes);

// A picture variable's pixels: rows from the top, each ceil(width / 8)
// bytes, most significant bit leftmost, 1 = black.
class MonoPicture {
public:
    MonoPicture() = default;
    // Draws the bitmap bytes into a white picture of the given size; bits
    // beyond the width or below the last row have no effect, and a bitmap
    // shorter than the size promises leaves the rest white.
    MonoPicture(int width, int height, std::string_view bitmap);
    int Width() const { return fWidth; }
    int Height() const { return fHeight; }
    bool Black(int x, int y) const;

private:
    int fWidth = 0;
    int fHeight = 0;
    std::vector<uint8_t> fBlack;  // one byte per pixel
};

// A text or picture variable ready for its viewer.
struct ViewedVariable {
    enum class Kind { None, Text, Picture } kind = Kind::None;
    std::string name;
    int64_t size = 0;                 // the size shown in the status line
    std::vector<std::string> lines;   // text
    MonoPicture picture;              // picture
    // "Viewing <name> (<size> bytes)"
    std::string StatusText() const;
};

// A variable from its size word and data bytes (as the calculator sends
// them) and its type; Kind::None for types other than text and picture.
ViewedVariable ViewVariable(const std::string& name, uint8_t type, std::string_view sized);

// The received variable of the temporary store at record index `row`.
// Throws EFileError when the store is damaged or the row does not exist.
ViewedVariable ViewStoredVariable(const TempStore& store, size_t row);

// The variable-th variable (folder entries not counted) of a variable file.
// Throws EFileError "No image- or textvariable was found!" when it is
// neither text nor picture, and the file's error when the file is damaged
// or ends early.
ViewedVariable ExtractData(const ByteSource& file, size_t variable = 0);
ViewedVariable ExtractData(const std::string& path, size_t variable = 0);
