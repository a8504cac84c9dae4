#include <gtest/gtest.h>

#include "files/ByteSource.h"
#include "files/TextConversion.h"
#include "files/VariableViewing.h"
#include "link/Exceptions.h"
#include "tests/files/FileTestSupport.h"
#include "tests/support/TI92FileBuilder.h"

namespace {
ViewedVariable Extract(const std::string& bytes, size_t variable = 0)
{
    MemoryBytes file(bytes);
    return ExtractData(file, variable);
}

std::string WordBytesBE(size_t n)
{
    return {static_cast<char>(n >> 8), static_cast<char>(n & 0xFF)};
}

std::string Rows(const MonoPicture& p)
{
    std::string out;
    for (int y = 0; y < p.Height(); ++y) {
        for (int x = 0; x < p.Width(); ++x)
            out += p.Black(x, y) ? '#' : '.';
        out += '/';
    }
    return out;
}
}  // namespace

TEST(ViewingTest, TextKeepsEveryLineAndItsLastCharacter)
{
    std::string file = VariableFileBytes("main", "", {{"ab", 0x0B, Hex("00 01 20 61 62 0D 20 63 00 E0")}});
    ViewedVariable v = Extract(file);
    EXPECT_EQ(v.kind, ViewedVariable::Kind::Text);
    EXPECT_EQ(v.lines, (std::vector<std::string>{" ab", " c"}));
    EXPECT_EQ(v.StatusText(), "Viewing ab (12 bytes)");
    // Codes without a character stay in their place, counted.
    UnmappedCodes unmapped;
    EXPECT_EQ(DecodeTextLines(Hex("41 01 1E 0D 0D 42 01 00"), &unmapped),
              (std::vector<std::string>{"A\uFFFD\uFFFD", "", "B\uFFFD"}));
    EXPECT_EQ(UnmappedCodesNote(unmapped),
              "3 TI-92 characters without a Unicode equivalent became U+FFFD: codes 0x01, 0x1E.");
    EXPECT_EQ(ViewVariable("t", 0x0B, Hex("0006 0001 20 7F 00E0")).StatusText(),
              "Viewing t (8 bytes). 1 TI-92 character without a Unicode equivalent became U+FFFD: code 0x7F.");
    // The calculator's own characters, shown in UTF-8.
    EXPECT_EQ(DecodeTextLines(Hex("20 8C 16 FC 9C 0D 20 80")),
              (std::vector<std::string>{" \xCF\x80\xE2\x86\x92\xC3\xBC\xE2\x89\xA4", " \xCE\xB1"}));
    EXPECT_EQ(ViewVariable("\x8C\x80", 0x0B, Hex("0005 0001 20 00E0")).StatusText(),
              "Viewing \xCF\x80\xCE\xB1 (7 bytes)");
}

// A text converted for the calculator and saved back as a text file is the
// text itself (tabs as spaces, line ends as LF).
TEST(ViewingTest, TextVariableBackAsUtf8)
{
    struct Row {
        const char* source;
        const char* back;
    };
    for (const Row& r :
         {Row{"", ""}, Row{"one\ntwo", "one\ntwo"}, Row{"one\r\ntwo\r\n", "one\ntwo\n"},
          Row{"  indented\n\n\tgr\xC3\xBC\xC3\x9F \xCF\x80\n", "  indented\n\n        gr\xC3\xBC\xC3\x9F \xCF\x80\n"},
          Row{"\xFC", "\xC3\xBC"}}) {
        SCOPED_TRACE(r.source);
        const std::string text =
            std::string("\x00\x01\x20", 3) + ConvertTextBytes(r.source).bytes + std::string("\x00\xE0", 2);
        const std::string sized = WordBytesBE(text.size()) + text;
        EXPECT_EQ(TextVariableAsUtf8(sized), r.back);
    }
}

// Every code of a text variable saved as UTF-8 text and converted back
// comes back as itself, but for the codes without a character: those are
// named, and come back as the "?" of a character the calculator lacks.
TEST(ViewingTest, EveryCodeThereAndBack)
{
    std::string codes, back;
    for (int code = 1; code < 256; ++code) {
        if (code == 0x0D)
            continue;
        const bool mapped = (code >= 0x20 && code != 0x7F) || code == 0x16;
        codes += static_cast<char>(code);
        back += mapped ? static_cast<char>(code) : '?';
    }
    const std::string text = std::string("\x00\x01\x20", 3) + codes + "\r\x20" + codes + std::string("\x00\xE0", 2);
    UnmappedCodes unmapped;
    const std::string utf8 = TextVariableAsUtf8(WordBytesBE(text.size()) + text, &unmapped);
    const ti92text::Encoded again = ConvertTextBytes(utf8);
    EXPECT_EQ(again.bytes, back + "\r\x20" + back);
    EXPECT_EQ(unmapped.count, 60u);
    EXPECT_EQ(again.missing, unmapped.count);
    EXPECT_EQ(unmapped.codes.count(), 30u);
    EXPECT_NE(UnmappedCodesNote(unmapped).find(": codes 0x01, 0x02, "), std::string::npos);
    EXPECT_NE(UnmappedCodesNote(unmapped).find(", 0x1F, 0x7F."), std::string::npos);
}

TEST(ViewingTest, PictureDrawsRowsOfWholeBytesAndOnlyWhatItHas)
{
    // Width 10: two bytes a row, the second byte's last six bits fall outside.
    std::string data = Hex("0002 000A  FF FF  80 3F  DF");
    ViewedVariable v = Extract(VariableFileBytes("main", "", {{"pic", 0x10, data}}));
    EXPECT_EQ(v.kind, ViewedVariable::Kind::Picture);
    EXPECT_EQ(Rows(v.picture), "##########/#........./");

    // A header that promises three rows of a picture holding one.
    v = ViewVariable("p", 0x10, Hex("0006 0003 0008 81 DF"));
    EXPECT_EQ(Rows(v.picture), "#......#/......../......../");
    // A damaged header cannot make the picture enormous.
    v = ViewVariable("p", 0x10, Hex("0006 FFFF FFFF 81 DF"));
    EXPECT_EQ(v.picture.Width(), 65535);
    EXPECT_EQ(v.picture.Height(), 1);
}

TEST(ViewingTest, ExtractFindsTheVariableAfterAFolderEntry)
{
    std::string file =
        VariableFileBytes("", "", {BuiltEntry::Folder("main"), {"note", 0x0B, TextVariableData({"hi"})}});
    EXPECT_EQ(Extract(file).lines, std::vector<std::string>{" hi"});

    // Data beyond 64 KB into the file are read where they are.
    std::string big(70000, 'x');
    file = VariableFileBytes("", "", {{"pad", 0x0C, big}, {"note", 0x0B, TextVariableData({"far"})}});
    EXPECT_EQ(Extract(file, 1).lines, std::vector<std::string>{" far"});

    try {
        Extract(VariableFileBytes("main", "", {{"s", 0x0C, "xyz"}}));
        FAIL();
    } catch (const EFileError& e) {
        EXPECT_STREQ(e.what(), "No image- or textvariable was found!");
    }
    file = VariableFileBytes("main", "", {{"t", 0x0B, TextVariableData({"long text"})}});
    EXPECT_THROW(Extract(file.substr(0, file.size() - 6)), EFileError);
}

TEST(ViewingTest, StoredVariablesAreReadAtFullOffsets)
{
    ScratchFolder dir;
    TempStore store(dir.Path());
    store.Clear();
    store.AddItem("main\\pad", 0x0C, SizedData(std::string(65600, 'p')));
    store.AddItem("main\\t", 0x0B, SizedData(Hex("0001 2078 0D 2079 00E0")));
    ViewedVariable v = ViewStoredVariable(store, 1);
    EXPECT_EQ(v.lines, (std::vector<std::string>{" x", " y"}));
    EXPECT_EQ(v.StatusText(), "Viewing main\\t (11 bytes)");
    EXPECT_THROW(ViewStoredVariable(store, 2), EFileError);
}
