#include <gtest/gtest.h>

#include "files/TextConversion.h"
#include "files/Ti92Charset.h"

using namespace ti92text;

// Every code with a Unicode equivalent comes back as itself, alone and in
// one text of them all; no two codes share a character.
TEST(Ti92Charset, RoundTripOfEveryMappedCode)
{
    std::string all;
    for (int code = 0; code < 256; ++code) {
        const std::string byte(1, static_cast<char>(code));
        if (ToUnicode(static_cast<uint8_t>(code)).empty())
            continue;
        all += byte;
        EXPECT_EQ(FromUtf8(ToUtf8(byte)).bytes, byte) << code;
    }
    const Encoded back = FromUtf8(ToUtf8(all));
    EXPECT_EQ(back.bytes, all);
    EXPECT_EQ(back.missing, 0u);
}

TEST(Ti92Charset, KnownCodesAndCharactersTheCalculatorLacks)
{
    struct Row {
        uint8_t code;
        std::u32string_view text;
    };
    for (const Row& r :
         {Row{0x41, U"A"},          Row{0x80, U"\u03B1"}, Row{0x8C, U"\u03C0"},     Row{0x84, U"\u0394"},
          Row{0x94, U"\u03C9"},     Row{0x9D, U"\u2260"}, Row{0x16, U"\u2192"},     Row{0xFC, U"\u00FC"},
          Row{0xB0, U"\u00B0"},     Row{0xA9, U"\u00A9"}, Row{0x95, U"\U0001D5A4"}, Row{0x96, U"\u212F"},
          Row{0x97, U"\U0001D48A"}, Row{0x98, U"\u02B3"}, Row{0x99, U"\u22BA"},     Row{0x9A, U"x\u0305"},
          Row{0x9B, U"y\u0305"},    Row{0xA8, U"\u221A"}, Row{0xAD, U"\u2212"},     Row{0xB4, U"\u207B\u00B9"},
          Row{0xB8, U"\u207A"},     Row{0xBC, U"\u2202"}, Row{0xBD, U"\u222B"},     Row{0xBE, U"\u221E"}}) {
        SCOPED_TRACE(r.code);
        EXPECT_EQ(ToUnicode(r.code), r.text);
    }
    for (char32_t lacking : {U'\u20AC', U'\u00BD', U'\u0080', U'\u4E2D', U'\U0001F600', U'\u0016', U'\u00A8', U'\u00AD',
                             U'\u00B4', U'\u00B8', U'\u00BC', U'\u00BE', U'\u0305', U'\u207B'})
        EXPECT_FALSE(FromUnicode(lacking) && lacking >= 0x20) << static_cast<uint32_t>(lacking);
    // Codes without a glyph: controls stay controls for names shown on a terminal.
    EXPECT_EQ(ToUtf8(std::string("a\x1b\x7f\x9a", 4)), "a\x1b\x7fx\xCC\x85");
    EXPECT_EQ(FromUtf8("a\x1b\xE2\x82\xAC").bytes, "a??");
}

// The longest sequence wins; a held first character still comes out, in its
// place, when no sequence follows, at the end and across the pieces a text
// arrives in.
TEST(Ti92Charset, SequencesOfTwoCharacters)
{
    struct Row {
        const char* utf8;
        const char* bytes;
        size_t missing;
    };
    for (const Row& r : {Row{"xx\xCC\x85y", "x\x9Ay", 0}, Row{"y\xCC\x85x", "\x9Bx", 0},
                         Row{"x\xCC\x84 y\xCC\x84 \xC8\xB3", "\x9A \x9B \x9B", 0},  // with a macron
                         Row{"a\xE2\x81\xBB\xC2\xB9", "a\xB4", 0},
                         Row{"\xE2\x81\xBB"
                             "2",
                             "?2", 1},
                         Row{"\xCC\x85x", "?x", 1}, Row{"y", "y", 0}}) {
        EXPECT_EQ(FromUtf8(r.utf8).bytes, r.bytes) << r.utf8;
        const std::string_view text = r.utf8;
        for (size_t cut = 0; cut <= text.size(); ++cut) {
            TextConverter converter;
            std::string bytes = converter.Feed(text.substr(0, cut));
            bytes += converter.Feed(text.substr(cut));
            EXPECT_EQ(bytes + converter.Finish(), r.bytes) << r.utf8 << cut;
            EXPECT_EQ(converter.Missing(), r.missing) << r.utf8 << cut;
        }
    }
    EXPECT_EQ(ConvertTextBytes("x\ny\r\n\xE2\x81\xBB").bytes, "x\r y\r ?");
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
