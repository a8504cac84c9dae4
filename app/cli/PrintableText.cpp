#include "app/cli/PrintableText.h"

#include "files/Ti92Charset.h"

std::string Printable(const std::string& calculatorBytes)
{
    return PrintableUtf8(ti92text::ToUtf8(calculatorBytes));
}

std::string PrintableUtf8(const std::string& utf8)
{
    std::string out;
    for (char c : utf8) {
        const auto b = static_cast<unsigned char>(c);
        out += b < 0x20 || b == 0x7F ? ' ' : c;
    }
    return out;
}
