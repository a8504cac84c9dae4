#include "app/cli/PrintableText.h"

#include "files/Ti92Charset.h"

namespace {

// Length of the well-formed UTF-8 sequence of two or more bytes at i, or 0.
size_t Utf8SequenceAt(const std::string& s, size_t i)
{
    const auto lead = static_cast<unsigned char>(s[i]);
    const size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                          : lead >= 0xE0 && lead <= 0xEF ? 3
                          : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                         : 0;
    if (length == 0 || i + length > s.size())
        return 0;
    for (size_t k = 1; k < length; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
            return 0;
    // No overlong forms, surrogates or code points above U+10FFFF.
    const auto second = static_cast<unsigned char>(s[i + 1]);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) || (lead == 0xF0 && second < 0x90) ||
        (lead == 0xF4 && second > 0x8F))
        return 0;
    return length;
}

// U+0080..U+009F: controls a terminal may act on, like the C0 ones.
bool IsC1(const std::string& s, size_t i, size_t length)
{
    return length == 2 && static_cast<unsigned char>(s[i]) == 0xC2 && static_cast<unsigned char>(s[i + 1]) < 0xA0;
}

}  // namespace

std::string Printable(const std::string& calculatorBytes)
{
    return PrintableUtf8(ti92text::ToUtf8(calculatorBytes));
}

std::string PrintableUtf8(const std::string& utf8)
{
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        const size_t length = b >= 0x80 ? Utf8SequenceAt(utf8, i) : 0;
        if (IsC1(utf8, i, length)) {
            out += ' ';
            i += 2;
            continue;
        }
        out += b < 0x20 || b == 0x7F ? ' ' : static_cast<char>(b);
        ++i;
    }
    return out;
}

std::string PrintableMessage(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const size_t length = c >= 0x80 ? Utf8SequenceAt(text, i) : 0;
        if (c == '\n') {
            out += '\n';
            ++i;
        } else if (length > 0 && !IsC1(text, i, length)) {
            out.append(text, i, length);
            i += length;
        } else if (length > 0) {
            out += ' ';
            i += length;
        } else {
            out += Printable(std::string(1, static_cast<char>(c)));
            ++i;
        }
    }
    return out;
}
