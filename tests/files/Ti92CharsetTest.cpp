#include <gtest/gtest.h>

#include "files/Ti92Charset.h"

using namespace ti92text;

// Every code with a Unicode equivalent comes back as itself, through the
// single characters and through UTF-8 text; no two codes share a character.
TEST(Ti92Charset, RoundTripOfEveryMappedCode)
{
    int mapped = 0;
    std::string all;
    for (int code = 0; code < 256; ++code) {
        SCOPED_TRACE(code);
        const auto c = ToUnicode(static_cast<uint8_t>(code));
        if (!c)
            continue;
        ++mapped;
        all += static_cast<char>(code);
        EXPECT_EQ(FromUnicode(*c), code);
    }
    const Encoded back = FromUtf8(ToUtf8(all));
    EXPECT_EQ(back.bytes, all);
    EXPECT_EQ(back.missing, 0u);
    EXPECT_GE(mapped, 95 + 25 + 89);
}

TEST(Ti92Charset, KnownCodesAndCharactersTheCalculatorLacks)
{
    struct Row {
        uint8_t code;
        char32_t c;
    };
    for (const Row& r : {Row{0x41, U'A'}, Row{0x80, U'\u03B1'}, Row{0x8C, U'\u03C0'}, Row{0x84, U'\u0394'},
                         Row{0x94, U'\u03C9'}, Row{0x9D, U'\u2260'}, Row{0x16, U'\u2192'}, Row{0xFC, U'\u00FC'},
                         Row{0xB0, U'\u00B0'}, Row{0xA9, U'\u00A9'}}) {
        SCOPED_TRACE(r.code);
        EXPECT_EQ(ToUnicode(r.code), r.c);
    }
    for (char32_t lacking : {U'\u20AC', U'\u00BD', U'\u0080', U'\u4E2D', U'\U0001F600', U'\u0016'})
        EXPECT_FALSE(FromUnicode(lacking) && lacking >= 0x20) << static_cast<uint32_t>(lacking);
    // Codes without a glyph: controls stay controls, others the replacement character.
    EXPECT_EQ(ToUtf8(std::string("a\x1b\x7f\x95", 4)), "a\x1b\x7f\xEF\xBF\xBD");
    EXPECT_EQ(FromUtf8("a\x1b\xE2\x82\xAC").bytes, "a??");
}

TEST(Ti92Charset, SourceTextIsUtf8OrElseLatin1)
{
    struct Row {
        const char* source;
        const char* utf8;
    };
    for (const Row& r : {Row{"plain", "plain"}, Row{"\xC3\xBC\xCF\x80", "\xC3\xBC\xCF\x80"}, Row{"\xFC!", "\xC3\xBC!"},
                         Row{"\xC0\xAF", "\xC3\x80\xC2\xAF"},              // overlong '/': not UTF-8
                         Row{"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xC2\x80"},  // a surrogate: not UTF-8
                         Row{"\xE2\x82", "\xC3\xA2\xC2\x82"}}) {           // cut at the end
        SCOPED_TRACE(r.source);
        EXPECT_EQ(SourceTextToUtf8(r.source), r.utf8);
    }
}
