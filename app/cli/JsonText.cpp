#include "app/cli/JsonText.h"

#include "files/Ti92Charset.h"

std::string JsonText(const std::string& text)
{
    static const char* hex = "0123456789abcdef";
    std::string out = "\"";
    for (char ch : ti92text::SourceTextToUtf8(text)) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c < 0x20 || c == 0x7F) {
            out += "\\u00";
            out += hex[c >> 4];
            out += hex[c & 0xF];
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

std::string CalculatorJson(const std::string& calculatorBytes)
{
    return JsonText(ti92text::ToUtf8(calculatorBytes));
}
