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
    EXPECT_EQ(VariableData(Convert("a\tb\x1f\x1e\n\xe9")), Hex("0009 0001 20 61 62 1F E9 00E0"));
}

TEST_F(ConvertTest, VariableNames)
{
    EXPECT_EQ(TextVariableName("/x/my notes2.txt"), "mynotes");
    EXPECT_EQ(TextVariableName("/x/README"), "");
    EXPECT_EQ(TextVariableName("/x.d/abc.def.txt"), "abc");
    EXPECT_EQ(TextVariableName("a\\b_c9.txt"), "a\\bc");
    EXPECT_EQ(TextVariableName("ABCDEFGHIJ.txt"), "ABCDEFGH");
}

TEST_F(ConvertTest, ProgressAndAutomaticNext)
{
    WriteFile(dir / "long.txt", std::string(2500, 'x'));
    ASSERT_TRUE(Txtto92g(view, dialogs, store, true, dir / "long.txt", dir / "long.92t", true, "c"));
    EXPECT_EQ(view.BarMax(ProgressBarId::ConvertBar), 2500);
    EXPECT_EQ(view.barHistory[ProgressBarId::ConvertBar], (std::vector<int>{0, 1, 1001, 2001, 2500}));
    EXPECT_EQ(view.nextClicks, 1);
}

TEST_F(ConvertTest, EmptyCommentAsksForOne)
{
    dialogs.ExpectComment("From the prompt");
    WriteFile(dir / "a.txt", "x");
    ASSERT_TRUE(Txtto92g(view, dialogs, store, true, dir / "a.txt", dir / "a.92t", false, ""));
    EXPECT_EQ(ReadFile(dir / "a.92t").substr(18, 16), "From the prompt\0"s);
    EXPECT_TRUE(dialogs.AllAnswered());
}

TEST_F(ConvertTest, FailuresGoIntoTheReportOnly)
{
    EXPECT_FALSE(Txtto92g(view, dialogs, store, true, dir / "missing.txt", dir / "m.92t", true, "c"));
    EXPECT_EQ(view.memo, std::vector<std::string>{
                             "An error (EFileError) occured while converting missing.txt to m.92t."});
    EXPECT_TRUE(view.errorDialogs.empty());
    EXPECT_EQ(view.nextClicks, 0);

    // 65 530 text bytes fit the size word; one more does not.
    view.memo.clear();
    WriteFile(dir / "max.txt", std::string(kMaxConvertedText, 'x'));
    EXPECT_TRUE(Txtto92g(view, dialogs, store, true, dir / "max.txt", dir / "max.92t", false, "c"));
    EXPECT_EQ(VariableData(ReadFile(dir / "max.92t")).substr(0, 2), Hex("FFFF"));
    WriteFile(dir / "big.txt", std::string(kMaxConvertedText - 1, 'x') + "\r");
    EXPECT_FALSE(Txtto92g(view, dialogs, store, true, dir / "big.txt", dir / "big.92t", false, "c"));
    EXPECT_FALSE(std::filesystem::exists(dir / "big.92t"));
    EXPECT_EQ(view.memo.back(), "An error (EFileError) occured while converting big.txt to big.92t.");

    // A save that fails is not reported as a conversion.
    std::filesystem::create_directory(dir.Path() / "taken.92t");
    WriteFile(dir / "t.txt", "x");
    EXPECT_FALSE(Txtto92g(view, dialogs, store, true, dir / "t.txt", dir / "taken.92t", false, "c"));
    EXPECT_EQ(view.memo.back(), "An error (EFileError) occured while converting t.txt to taken.92t.");
    EXPECT_EQ(view.errorDialogs.size(), 1u);
}
