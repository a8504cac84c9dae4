#pragma once
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "files/ByteSource.h"
#include "files/TempStore.h"

// The codes of a text that have no Unicode equivalent, each shown as U+FFFD
// where it stood: how many there were, and which.
struct UnmappedCodes {
    size_t count = 0;
    std::bitset<256> codes;
    void Add(uint8_t code)
    {
        ++count;
        codes.set(code);
    }
};
// "N TI-92 characters without a Unicode equivalent became U+FFFD: codes
// 0x01, 0x7F."; empty when there were none.
std::string UnmappedCodesNote(const UnmappedCodes& unmapped);

// Lines of a text variable's bytes, in UTF-8: CR (13) ends a line, NUL is
// left out, every other code is its characters or U+FFFD, counted in
// `unmapped`; the last line is always added.
std::vector<std::string> DecodeTextLines(std::string_view bytes, UnmappedCodes* unmapped = nullptr);

// A decoded line without the paragraph byte (a space) that starts it.
std::string_view WithoutParagraphByte(std::string_view line);

// A text variable (its size word and data, as the calculator sends them) as
// a UTF-8 text file: LF after every line but the last, the paragraph byte
// (a space) that starts each line left out.
std::string TextVariableAsUtf8(std::string_view sized, UnmappedCodes* unmapped = nullptr);

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
    std::string name;                // calculator bytes
    int64_t size = 0;                // the size shown in the status line
    std::vector<std::string> lines;  // text, in UTF-8
    MonoPicture picture;             // picture
    UnmappedCodes unmapped;          // text codes shown as U+FFFD
    // "Viewing <name> (<size> bytes)", in UTF-8, followed by the note on
    // unmapped codes when there are any
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
