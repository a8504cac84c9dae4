#include <gtest/gtest.h>

#include "files/ByteSource.h"
#include "files/EntryTable.h"
#include "files/TempStore.h"
#include "files/TextConversion.h"
#include "tests/files/FileTestSupport.h"
#include "tests/support/RecordingTransferView.h"
#include "tests/support/ScriptedDialogs.h"

using namespace std::string_literals;

namespace {
class ConvertTest : public ::testing::Test {
protected:
    ScratchFolder dir;
    TempStore store{dir.Path()};
    RecordingTransferView view;
    ScriptedDialogs dialogs;

    // Converts `text` saved as `sourceName`; returns the written file.
    std::string Convert(const std::string& text, const std::string& sourceName = "hi.txt",
                        const std::string& comment = "c")
    {
        WriteFile(dir / sourceName, text);
        EXPECT_TRUE(Txtto92g(view, dialogs, store, true, dir / sourceName, dir / "out.92t", false, comment));
        return ReadFile(dir / "out.92t");
    }
    std::string VariableData(const std::string& file)
    {
        MemoryBytes source(file);
        return ReadVariableData(source, ReadEntryTable(source).entries.at(0));
    }
};
}  // namespace

TEST_F(ConvertTest, LinesGetASpaceAfterEachCarriageReturn)
{
    std::string file = Convert("Hi\r\nthere");
    EXPECT_EQ(VariableData(file), Hex("000E 0001 20 48690D2074686572 65 00E0"));
    // The store holds the variable as a receive would have left it.
    EXPECT_EQ(ReadFile(store.DataPath()), Hex("00000000 000E 0001 20 48690D2074686572 65 00E0"));
    auto records = store.ReadIndex();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].name, "hi");
    EXPECT_EQ(records[0].start, 4);
    EXPECT_EQ(records[0].finish, 20);
    EXPECT_EQ(records[0].length, 16);
    EXPECT_EQ(records[0].type, 0x0B);
    // One variable "hi" with an empty default folder (the name has no folder).
    EXPECT_EQ(file.substr(10, 8), Zeros(8));
    EXPECT_EQ(file.substr(64, 9), "hi" + Zeros(6) + "\x0B");
    EXPECT_EQ(file.substr(18, 2), "c\0"s);
    EXPECT_EQ(view.memo, std::vector<std::string>{"hi.txt was successfully converted to out.92t."});
    EXPECT_EQ(view.nextClicks, 0);
}

TEST_F(ConvertTest, EmptyTextAndDroppedBytes)
{
    EXPECT_EQ(VariableData(Convert("")), Hex("0005 0001 20 00E0"));
    // Tab to the next multiple of 8, other control bytes dropped, a lone Latin-1 byte kept.
    EXPECT_EQ(VariableData(Convert("a\tb\x1f\x1e\n\xe9")), Hex("0011 0001 20 61 20202020202020 62 0D 20 E9 00E0"));
}

TEST(TextConversion, LineEndsCharactersAndMissingOnes)
{
    struct Row {
        const char* source;
        const char* calculator;  // hex
        size_t missing;
    };
    for (const Row& r : {
             Row{"a\r\nb\r\n", "61 0D20 62 0D20", 0},  // Windows
             Row{"a\nb\n", "61 0D20 62 0D20", 0},      // Linux
             Row{"a\rb\r", "61 0D20 62 0D20", 0},      // old Mac
             Row{"a\r\n\nb\r\rc\n\r\n", "61 0D20 0D20 62 0D20 0D20 63 0D20 0D20", 0},
             Row{"\tx\t", "2020202020202020 78 20202020202020", 0},
             Row{"\xEF\xBB\xBFgr\xC3\xBC\xC3\x9F \xCF\x80\xE2\x89\xA4", "67 72 FC DF 20 8C 9C",
                 0},                                                           // UTF-8, BOM dropped
             Row{"gr\xFC\xDF \xB0", "67 72 FC DF 20 B0", 0},                   // Latin-1
             Row{"\xE2\x82\xAC 5 \xF0\x9F\x98\x80!", "3F 20 35 20 3F 21", 2},  // the euro sign and an emoji
             Row{"\xC3(\x80", "C3 28 3F", 1},  // broken UTF-8: Latin-1; a C1 control is lacking
         }) {
        SCOPED_TRACE(r.source);
        const ti92text::Encoded e = ConvertTextBytes(r.source);
        EXPECT_EQ(e.bytes, Hex(r.calculator));
        EXPECT_EQ(e.missing, r.missing);
    }
}

TEST(TextConversion, TabsReachTheNextStopAsExpandDoes)
{
    struct Row {
        const char* source;
        unsigned tabSize;
        const char* expanded;  // calculator bytes; CR and the paragraph byte end a line
    };
    for (const Row& r : {
             Row{"\tx", 8, "        x"},
             Row{"1234567\tx", 8, "1234567 x"},
             Row{"12345678\tx", 8, "12345678        x"},
             Row{"ab\t\tc", 4, "ab      c"},
             Row{"a\nb\tc", 4, "a\r b   c"},  // columns restart on each line
             Row{"\xCF\x80\tx", 4, "\x8C   x"},
             Row{"\xE2\x82\xAC\tx", 2, "? x"},  // one column per character
             Row{"a\tb", 1, "a b"},
             Row{"a\tb", 0, "a b"},
         }) {
        SCOPED_TRACE(r.source);
        EXPECT_EQ(ConvertTextBytes(r.source, r.tabSize).bytes, r.expanded);
    }
}

TEST(TextConversion, TheLackingCharactersAreNamed)
{
    TextConverter c;
    c.Feed("\xE2\x82\xAC\xE2\x82\xAC \xF0\x9F\x98\x80 \xC2\x80");
    c.Finish();
    EXPECT_EQ(c.Missing(), 4u);
    EXPECT_EQ(MissingCharactersNote(c.Missing(), c.Lacking()),
              "4 characters the TI-92 lacks became \"?\": \"\xE2\x82\xAC\", \"\xF0\x9F\x98\x80\", U+0080.");
    EXPECT_EQ(MissingCharactersNote(9, {U'\u20AC', U'\u2713', U'\u2714', U'\u2715', U'\u2716', U'\u2717', U'\u2718'}),
              "9 characters the TI-92 lacks became \"?\": \"\xE2\x82\xAC\", \"\xE2\x9C\x93\", \"\xE2\x9C\x94\", "
              "\"\xE2\x9C\x95\", \"\xE2\x9C\x96\" and 2 more.");
    EXPECT_EQ(MissingCharactersNote(0, {}), "");
}

TEST(TextConversion, PiecesCutAnywhereGiveTheWholeText)
{
    const std::string source = "x\r\n\xCF\x80\xE2\x89\xA4y\r";
    const ti92text::Encoded whole = ConvertTextBytes(source);
    for (size_t cut = 0; cut <= source.size(); ++cut) {
        SCOPED_TRACE(cut);
        TextConverter c;
        std::string bytes = c.Feed(source.substr(0, cut));
        bytes += c.Feed(source.substr(cut));
        bytes += c.Finish();
        EXPECT_EQ(bytes, whole.bytes);
    }
}

TEST(TextConversion, VariableNamesByTheCalculatorsRules)
{
    struct Row {
        const char* file;
        const char* name;  // "" when none can be made
    };
    for (const Row& r : {Row{"/x/notes2.txt", "notes2"}, Row{"/x/1abc.txt", "abc"}, Row{"ABCDEFGHIJ.txt", "abcdefgh"},
                         Row{"/x/2024.txt", ""}, Row{"/x/_-_.txt", ""}, Row{"/x.d/abc.def.txt", "abcdef"},
                         Row{"/x/my notes 2.txt", "mynotes2"}, Row{"/x/README", "readme"}, Row{"a\\b_c9.txt", "ab_c9"},
                         Row{"/x/.hidden", "hidden"},
                         Row{"/x/\xC3\x9C"
                             "ber.txt",
                             "ber"}}) {
        SCOPED_TRACE(r.file);
        EXPECT_EQ(TextVariableName(r.file), r.name);
        EXPECT_EQ(IsValidVariableName(r.name), *r.name != '\0');
    }
    for (const char* bad : {"Notes", "9lives", "abcdefghi", "a b", "a.b", "_x", "a\\b"})
        EXPECT_FALSE(IsValidVariableName(bad)) << bad;
}

TEST_F(ConvertTest, NoNameNoFileAndAGivenNameOrFolderIsUsed)
{
    WriteFile(dir / "2024.txt", "x");
    EXPECT_FALSE(Txtto92g(view, dialogs, store, true, dir / "2024.txt", dir / "y.92t", false, "c"));
    EXPECT_EQ(view.memo.back(),
              "An error (EFileError) occured while converting 2024.txt to y.92t. " + NoVariableNameText("2024.txt"));
    EXPECT_NE(view.memo.back().find("2024.txt"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "y.92t"));

    WriteFile(dir / "2024.txt", "\xE2\x82\xAC"
                                "1");
    ASSERT_TRUE(Txtto92g(view, dialogs, store, true, dir / "2024.txt", dir / "y.92t", false, "c", {"year", "work"}));
    EXPECT_EQ(store.ReadIndex().at(0).name, "work\\year");
    EXPECT_EQ(ReadFile(dir / "y.92t").substr(10, 4), "work");
    EXPECT_EQ(view.memo.back(), "2024.txt was successfully converted to y.92t. 1 character the TI-92 lacks became "
                                "\"?\": \"\xE2\x82\xAC\".");
}

TEST_F(ConvertTest, ProgressAndAutomaticNext)
{
    WriteFile(dir / "long.txt", std::string(2500, 'x'));
    ASSERT_TRUE(Txtto92g(view, dialogs, store, true, dir / "long.txt", dir / "long.92t", true, "c"));
    EXPECT_EQ(view.BarMax(ProgressBarId::Convert), 2500);
    EXPECT_EQ(view.barHistory[ProgressBarId::Convert], (std::vector<int>{0, 1, 1001, 2001, 2500}));
    EXPECT_EQ(view.nextClicks, 1);
}

TEST_F(ConvertTest, NoCommentAsksForOne)
{
    dialogs.ExpectComment("From the prompt");
    WriteFile(dir / "a.txt", "x");
    ASSERT_TRUE(Txtto92g(view, dialogs, store, true, dir / "a.txt", dir / "a.92t", false, std::nullopt));
    EXPECT_EQ(ReadFile(dir / "a.92t").substr(18, 16), "From the prompt\0"s);
    EXPECT_TRUE(dialogs.AllAnswered());
}

TEST_F(ConvertTest, FailuresGoIntoTheReportOnly)
{
    EXPECT_FALSE(Txtto92g(view, dialogs, store, true, dir / "missing.txt", dir / "m.92t", true, "c"));
    ASSERT_EQ(view.memo.size(), 1u);
    EXPECT_EQ(view.memo[0].rfind("An error (EFileError) occured while converting missing.txt to m.92t. ", 0), 0u);
    EXPECT_NE(view.memo[0].find("/missing.txt"), std::string::npos) << "the cause follows";
    EXPECT_TRUE(view.errorDialogs.empty());
    EXPECT_EQ(view.nextClicks, 0);

    // 65 524 text bytes make the largest variable that can be sent; one more does not.
    view.memo.clear();
    WriteFile(dir / "max.txt", std::string(kMaxConvertedText, 'x'));
    EXPECT_TRUE(Txtto92g(view, dialogs, store, true, dir / "max.txt", dir / "max.92t", false, "c"));
    EXPECT_EQ(VariableData(ReadFile(dir / "max.92t")).substr(0, 2), Hex("FFF9"));
    WriteFile(dir / "big.txt", std::string(kMaxConvertedText - 1, 'x') + "\r");
    EXPECT_FALSE(Txtto92g(view, dialogs, store, true, dir / "big.txt", dir / "big.92t", false, "c"));
    EXPECT_FALSE(std::filesystem::exists(dir / "big.92t"));
    EXPECT_EQ(view.memo.back(), "An error (EFileError) occured while converting big.txt to big.92t. "
                                "The text of big.txt is too long for a TI-92 text variable: it converts to more "
                                "than 65524 bytes.");

    // A save that fails is not reported as a conversion.
    std::filesystem::create_directory(dir.Path() / "taken.92t");
    WriteFile(dir / "t.txt", "x");
    EXPECT_FALSE(Txtto92g(view, dialogs, store, true, dir / "t.txt", dir / "taken.92t", false, "c"));
    EXPECT_EQ(view.memo.back(), "An error (EFileError) occured while converting t.txt to taken.92t. "
                                "The file taken.92t could not be saved.");
    EXPECT_EQ(view.errorDialogs.size(), 1u);
}
