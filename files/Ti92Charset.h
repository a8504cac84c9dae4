#pragma once
// The TI-92's own character set against Unicode, in one table used both ways:
// text conversion and comments encode with it, the viewers, the window and
// linkwise-cli decode with it. Nothing here throws.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ti92text {

// The characters a calculator code shows: one code point, or two for x̄, ȳ
// and ⁻¹, which Unicode has only as a letter or sign with a mark. Empty for
// NUL, for control codes the calculator has no printable glyph for, and for
// codes whose glyph is not known well enough to name.
std::u32string_view ToUnicode(uint8_t code);
// The calculator code of a single character; none when the calculator lacks
// it (or has it only as the first of a sequence, see Encoder).
std::optional<uint8_t> FromUnicode(char32_t c);

// Characters to calculator codes, the longest match first: a character that
// may begin a sequence of two (x, y, ⁻) is held until the next one shows
// whether it does. For every character or sequence, in order,
// emit(char32_t first, std::optional<uint8_t> code) gets its first character
// and its code, none when the calculator lacks it.
class Encoder {
public:
    template <typename Emit>
    void Put(char32_t c, Emit&& emit);
    // Gives out a character still held.
    template <typename Emit>
    void Finish(Emit&& emit);

private:
    static bool StartsSequence(char32_t c);
    // The code of the two characters together; none when they are no sequence.
    static std::optional<uint8_t> SequenceCode(char32_t first, char32_t second);
    std::optional<char32_t> fHeld;
};

// UTF-8 of one code point.
void AppendUtf8(std::string& out, char32_t c);

// Reads source text one code point at a time: UTF-8 where the bytes are valid
// UTF-8, otherwise each byte on its own as Latin-1 (older Windows files).
// Text may arrive in pieces: a sequence cut at the end of a piece is kept for
// the next one.
class SourceDecoder {
public:
    // Calls emit(char32_t) for every code point complete in `piece`; with
    // `last` set, the bytes still held are given out as Latin-1.
    template <typename Emit>
    void Feed(std::string_view piece, bool last, Emit&& emit);

private:
    // Length of the valid UTF-8 sequence at `at`, 0 when invalid, -1 when the
    // bytes are a valid start that ends with the data.
    static int SequenceAt(std::string_view s, size_t at, char32_t& c);
    std::string fHeld;
};

// Source text (UTF-8, or Latin-1 where not valid UTF-8) as clean UTF-8.
std::string SourceTextToUtf8(std::string_view bytes);

// Calculator bytes as UTF-8 for display. Control codes without a glyph stay
// as the same control characters, so a terminal form can still tell them
// apart; other codes without a known glyph become U+FFFD.
std::string ToUtf8(std::string_view calculatorBytes);

struct Encoded {
    std::string bytes;
    size_t missing = 0;  // characters the calculator lacks, each given as '?'
};
// A short text (a name or a comment) typed or passed as UTF-8, in calculator
// codes; control characters are among the missing ones.
Encoded FromUtf8(std::string_view text);

// The stand-in for a character the calculator lacks.
inline constexpr char kMissing = '?';

template <typename Emit>
void Encoder::Put(char32_t c, Emit&& emit)
{
    if (fHeld) {
        const char32_t held = *fHeld;
        fHeld.reset();
        if (const auto code = SequenceCode(held, c)) {
            emit(held, code);
            return;
        }
        emit(held, FromUnicode(held));
    }
    if (StartsSequence(c))
        fHeld = c;
    else
        emit(c, FromUnicode(c));
}

template <typename Emit>
void Encoder::Finish(Emit&& emit)
{
    if (fHeld)
        emit(*fHeld, FromUnicode(*fHeld));
    fHeld.reset();
}

template <typename Emit>
void SourceDecoder::Feed(std::string_view piece, bool last, Emit&& emit)
{
    std::string joined;
    if (!fHeld.empty()) {
        joined = fHeld;
        joined.append(piece);
        piece = joined;
        fHeld.clear();
    }
    size_t at = 0;
    while (at < piece.size()) {
        char32_t c = 0;
        const int n = SequenceAt(piece, at, c);
        if (n < 0 && !last) {
            fHeld.assign(piece.substr(at));
            return;
        }
        if (n <= 0) {
            emit(static_cast<char32_t>(static_cast<uint8_t>(piece[at])));
            ++at;
        } else {
            emit(c);
            at += static_cast<size_t>(n);
        }
    }
}

}  // namespace ti92text
