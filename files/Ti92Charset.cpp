#include "files/Ti92Charset.h"

#include <array>
#include <span>

namespace ti92text {
namespace {

// 0 marks a code without a single Unicode character here. Printable ASCII
// and most of 0xA0-0xFF are the same as Latin-1; the calculator draws its own
// symbols at 0xA8, 0xAD, 0xB4, 0xB8 and 0xBC-0xBE instead. Codes left at 0:
//   0x01-0x1F except 0x16, and 0x7F: the calculator's symbols there are not
//     mapped (not known well enough code by code);
//   0x9A, 0x9B, 0xB4: sequences of two characters, in kSequences.
constexpr std::array<char32_t, 256> MakeTable()
{
    std::array<char32_t, 256> t{};
    for (char32_t c = 0x20; c < 0x7F; ++c)
        t[c] = c;
    t[0x16] = U'\u2192';  // store arrow
    constexpr char32_t greekAndMath[] = {U'\u03B1', U'\u03B2',     U'\u0393', U'\u03B3',
                                         U'\u0394', U'\u03B4',     U'\u03B5', U'\u03B6',  // 80
                                         U'\u03B8', U'\u03BB',     U'\u03BE', U'\u03A0',
                                         U'\u03C0', U'\u03C1',     U'\u03A3', U'\u03C3',  // 88
                                         U'\u03C4', U'\u03C6',     U'\u03C8', U'\u03A9',
                                         U'\u03C9', U'\U0001D5A4', U'\u212F', U'\U0001D48A',  // 90: E, e, i
                                         U'\u02B3', U'\u22BA',     0,         0,              // 98: radian, transpose
                                         U'\u2264', U'\u2260',     U'\u2265', U'\u2220'};
    for (size_t k = 0; k < 32; ++k)
        t[0x80 + k] = greekAndMath[k];
    for (char32_t c = 0xA0; c <= 0xFF; ++c)
        t[c] = c;
    t[0xA8] = U'\u221A';  // square root
    t[0xAD] = U'\u2212';  // the negative sign
    t[0xB4] = 0;
    t[0xB8] = U'\u207A';  // superscript plus
    t[0xBC] = U'\u2202';
    t[0xBD] = U'\u222B';
    t[0xBE] = U'\u221E';
    return t;
}

constexpr std::array<char32_t, 256> kTable = MakeTable();

struct Sequence {
    uint8_t code;
    std::u32string_view text;
};
// Codes Unicode has only as a letter or sign with a mark.
constexpr Sequence kSequences[] = {{0x9A, U"x\u0305"}, {0x9B, U"y\u0305"}, {0xB4, U"\u207B\u00B9"}};
// Other ways to type them, read as the same codes: a macron instead of the
// overline (ȳ also precomposed, in FromUnicode).
constexpr Sequence kAlsoRead[] = {{0x9A, U"x\u0304"}, {0x9B, U"y\u0304"}};

constexpr char32_t kReplacement = U'\uFFFD';

}  // namespace

std::u32string_view ToUnicode(uint8_t code)
{
    if (kTable[code] != 0)
        return {&kTable[code], 1};
    for (const Sequence& s : kSequences)
        if (s.code == code)
            return s.text;
    return {};
}

std::optional<uint8_t> FromUnicode(char32_t c)
{
    // Latin-1 and ASCII map to themselves wherever the table agrees.
    if (c < 0x100 && kTable[c] == c)
        return static_cast<uint8_t>(c);
    if (c == U'\u0233')
        return uint8_t{0x9B};
    for (size_t code = 0x01; code < kTable.size(); ++code)
        if (kTable[code] == c && c >= 0x80)
            return static_cast<uint8_t>(code);
    return std::nullopt;
}

bool Encoder::StartsSequence(char32_t c)
{
    for (const Sequence& s : kSequences)
        if (s.text[0] == c)
            return true;
    return false;
}

std::optional<uint8_t> Encoder::SequenceCode(char32_t first, char32_t second)
{
    for (std::span<const Sequence> table :
         {std::span<const Sequence>(kSequences), std::span<const Sequence>(kAlsoRead)})
        for (const Sequence& s : table)
            if (s.text[0] == first && s.text[1] == second)
                return s.code;
    return std::nullopt;
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

int SourceDecoder::SequenceAt(std::string_view s, size_t at, char32_t& c)
{
    const auto lead = static_cast<uint8_t>(s[at]);
    int n = 0;
    char32_t min = 0;
    if (lead < 0x80) {
        c = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        n = 2, c = lead & 0x1F, min = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        n = 3, c = lead & 0x0F, min = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        n = 4, c = lead & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    for (int k = 1; k < n; ++k) {
        if (at + k >= s.size())
            return -1;
        const auto b = static_cast<uint8_t>(s[at + k]);
        if ((b & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (b & 0x3F);
    }
    // Overlong forms, surrogates and values past Unicode are not UTF-8.
    if (c < min || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
        return 0;
    return n;
}

std::string SourceTextToUtf8(std::string_view bytes)
{
    std::string out;
    SourceDecoder decoder;
    decoder.Feed(bytes, true, [&](char32_t c) { AppendUtf8(out, c); });
    return out;
}

std::string ToUtf8(std::string_view calculatorBytes)
{
    std::string out;
    for (char ch : calculatorBytes) {
        const auto code = static_cast<uint8_t>(ch);
        if (const std::u32string_view text = ToUnicode(code); !text.empty())
            for (char32_t c : text)
                AppendUtf8(out, c);
        else if (code < 0x20 || code == 0x7F)
            out += ch;
        else
            AppendUtf8(out, kReplacement);
    }
    return out;
}

Encoded FromUtf8(std::string_view text)
{
    Encoded e;
    auto put = [&](char32_t c, std::optional<uint8_t> code) {
        if (code && c >= 0x20) {
            e.bytes += static_cast<char>(*code);
        } else {
            e.bytes += kMissing;
            ++e.missing;
        }
    };
    SourceDecoder decoder;
    Encoder encoder;
    decoder.Feed(text, true, [&](char32_t c) { encoder.Put(c, put); });
    encoder.Finish(put);
    return e;
}

}  // namespace ti92text
