#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>

#include "files/ByteSource.h"
#include "files/EntryTable.h"
#include "files/SaveAs92g.h"
#include "files/SaveDialogSetup.h"
#include "files/TempStore.h"
#include "tests/files/FileTestSupport.h"
#include "tests/support/RecordingTransferView.h"
#include "tests/support/ScriptedDialogs.h"

namespace {
class SaveTest : public ::testing::Test {
protected:
    ScratchFolder dir;
    TempStore store{dir.Path()};
    RecordingTransferView view;

    void SetUp() override { store.Clear(); }
    bool Save(const std::string& name, bool storeFolders = true, bool backup = false, const std::string& comment = "")
    {
        return SaveAs92g(view, store, storeFolders, dir / name, backup, true, comment);
    }
    void AddThree()
    {
        store.AddItem("main\\a", 0x00, SizedData(Hex("AA")));
        store.AddItem("main\\b", 0x0C, SizedData(Hex("BBCC")));
        store.AddItem("prgm\\c", 0x12, SizedData(""));
    }
};

const std::string kHeaderStart = "**TI92**" + Hex("0100");
}  // namespace

TEST_F(SaveTest, SingleVariableIs93BytesExactly)
{
    store.AddItem("main\\x", 0x00, Hex("0003 010203"));
    ASSERT_TRUE(Save("x.92e"));
    std::string expected = kHeaderStart + "main" + Zeros(4) + Zeros(40) + Hex("0100") + Hex("52000000") + "x" +
                           Zeros(7) + Hex("00 000000") + Hex("5D000000") + Hex("A55A") +
                           Hex("00000000 0003 010203 0900");
    EXPECT_EQ(expected.size(), 93u);
    EXPECT_EQ(ReadFile(dir / "x.92e"), expected);

    EXPECT_EQ(view.memo, std::vector<std::string>{"The received variable(s) was saved into \"x.92e\"."});
    EXPECT_EQ(view.Label(LabelId::SaveStatus), "x.92e saved");
    EXPECT_EQ(view.Label(LabelId::BackupSaveStatus), "x.92e saved");
    EXPECT_EQ(view.labelHistory[LabelId::SaveStatus].front(), "Saving x.92e..");
    EXPECT_EQ(view.statuses,
              (std::vector<std::string>{"Writing headers", "Writing datapart", "Writing data for main\\x",
                                        "Data successfully written", "Closing files", "(none)"}));
    EXPECT_EQ(view.BarMax(ProgressBarId::Save), 5);
    EXPECT_EQ(view.BarPosition(ProgressBarId::Save), 5);
    EXPECT_EQ(view.BarPosition(ProgressBarId::BackupSave), 5);
    EXPECT_EQ(view.transferModeOn, 1);
    EXPECT_EQ(view.transferModeOff, 1);
    EXPECT_FALSE(view.transferMode);
    // No scratch file is left beside the target.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 3);
}

TEST_F(SaveTest, StoreFoldersOffNamesMainAsDefaultFolder)
{
    store.AddItem("prgm\\x", 0x00, Hex("0003 010203"));
    ASSERT_TRUE(Save("x.92e", false));
    std::string bytes = ReadFile(dir / "x.92e");
    EXPECT_EQ(bytes.substr(10, 8), "main" + Zeros(4));
    EXPECT_EQ(bytes.substr(64, 8), "x" + Zeros(7));
}

TEST_F(SaveTest, GroupOfThreeVariablesInTwoFolders)
{
    AddThree();
    ASSERT_TRUE(Save("g.92g", true, false, "Group"));
    std::string expected = kHeaderStart + Zeros(8) + "Group" + Zeros(35) + Hex("0500") + Hex("92000000") + "main" +
                           Zeros(4) + Hex("1F 00 0200") + Hex("92000000") + "a" + Zeros(7) + Hex("00 00 0000") +
                           Hex("9B000000") + "b" + Zeros(7) + Hex("0C 00 0000") + Hex("A5000000") + "prgm" + Zeros(4) +
                           Hex("1F 00 0100") + Hex("A5000000") + "c" + Zeros(7) + Hex("12 00 0000") + Hex("AD000000") +
                           Hex("A55A") + Hex("00000000 0001AA AB00") + Hex("00000000 0002BBCC 8901") +
                           Hex("00000000 0000 0000");
    EXPECT_EQ(ReadFile(dir / "g.92g"), expected);
    EXPECT_EQ(view.statuses.front(), "Calculating headers");
}

TEST_F(SaveTest, GroupWithoutFolders)
{
    AddThree();
    ASSERT_TRUE(Save("g.92g", false));
    std::string expected = kHeaderStart + Zeros(8) + Zeros(40) + Hex("0300") + Hex("72000000") + "a" + Zeros(7) +
                           Hex("00 00 0000") + Hex("7B000000") + "b" + Zeros(7) + Hex("0C 00 0000") + Hex("85000000") +
                           "c" + Zeros(7) + Hex("12 00 0000") + Hex("8D000000") + Hex("A55A") +
                           Hex("00000000 0001AA AB00") + Hex("00000000 0002BBCC 8901") + Hex("00000000 0000 0000");
    EXPECT_EQ(ReadFile(dir / "g.92g"), expected);
    EXPECT_EQ(view.statuses.front(), "Writing headers");
}

TEST_F(SaveTest, CommentOf34CharactersFillsItsFieldAndLongerIsCut)
{
    store.AddItem("main\\x", 0x00, Hex("0003 010203"));
    const std::string comment34 = "abcdefghijklmnopqrstuvwxyz01234567";
    ASSERT_TRUE(Save("x.92e", true, false, comment34 + "89"));
    std::string bytes = ReadFile(dir / "x.92e");
    EXPECT_EQ(bytes.size(), 93u);
    EXPECT_EQ(bytes.substr(18, 34), comment34);
    EXPECT_EQ(bytes.substr(52, 6), Zeros(6));
    EXPECT_EQ(bytes.substr(58, 2), Hex("0100"));
}

TEST_F(SaveTest, EmptyStoreLeavesTheTargetAlone)
{
    WriteFile(dir / "old.92g", "precious");
    EXPECT_TRUE(Save("old.92g"));
    EXPECT_EQ(ReadFile(dir / "old.92g"), "precious");
    EXPECT_TRUE(view.memo.empty());
    EXPECT_TRUE(view.errorDialogs.empty());
    EXPECT_FALSE(view.transferMode);
    EXPECT_TRUE(Save("new.92g"));
    EXPECT_FALSE(std::filesystem::exists(dir / "new.92g"));
}

TEST_F(SaveTest, BackupRecordHasNoZeroPrefixAndEndOffsetIsTheLength)
{
    store.AddItem("1.11", 0x1D, Hex("010203FF"));
    ASSERT_TRUE(Save("b.92b", true, true, "Backup"));
    std::string expected = kHeaderStart + Zeros(8) + "Backup" + Zeros(34) + Hex("0100") + Hex("52000000") + "1.11" +
                           Zeros(4) + Hex("1D 000000") + Hex("58000000") + Hex("A55A") + Hex("010203FF 0501");
    EXPECT_EQ(ReadFile(dir / "b.92b"), expected);
}

TEST_F(SaveTest, ChecksumsWrapAtSixteenBits)
{
    // 00 FE + 01 = 255; a 3-byte variable of FF FF FE plus size word 00 03 = 767.
    store.AddItem("main\\x", 0x00, Hex("00FE") + std::string(253, '\0') + Hex("01"));
    ASSERT_TRUE(Save("x.92e"));
    std::string bytes = ReadFile(dir / "x.92e");
    EXPECT_EQ(bytes.substr(bytes.size() - 2), Hex("FF00"));
    store.Clear();
    store.AddItem("main\\y", 0x00, Hex("0003 FFFFFE"));
    ASSERT_TRUE(Save("y.92e"));
    bytes = ReadFile(dir / "y.92e");
    EXPECT_EQ(bytes.substr(bytes.size() - 2), Hex("FF02"));
}

TEST_F(SaveTest, NamesWithoutFolderJoinTheCurrentFolderOrStandBeforeTheFirst)
{
    store.AddItem("\\u", 0x00, SizedData("1"));
    store.AddItem("v", 0x00, SizedData("2"));
    store.AddItem("main\\a", 0x00, SizedData("3"));
    store.AddItem("\\w", 0x00, SizedData("4"));
    store.AddItem("prgm\\c", 0x00, SizedData("5"));
    store.AddItem("main\\d", 0x00, SizedData("6"));
    ASSERT_TRUE(Save("g.92g"));
    DiskBytes file(dir / "g.92g");
    EntryTable table = ReadEntryTable(file);
    ASSERT_EQ(table.count, 9);
    ASSERT_EQ(table.entries.size(), 9u);
    std::vector<std::string> names, folders;
    for (const auto& e : table.entries) {
        names.push_back(e.name + (e.IsFolder() ? "/" + std::to_string(e.folderSize) : ""));
        folders.push_back(e.folder);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"u", "v", "main/2", "a", "w", "prgm/1", "c", "main/1", "d"}));
    EXPECT_EQ(folders, (std::vector<std::string>{"", "", "main", "main", "main", "prgm", "prgm", "main", "main"}));
    // Each data part holds its own variable.
    std::string expectedData = "123456";
    size_t v = 0;
    for (const auto& e : table.entries) {
        if (!e.IsFolder()) {
            EXPECT_EQ(ReadVariableData(file, e), SizedData(expectedData.substr(v++, 1)));
        }
    }
}

TEST_F(SaveTest, GroupFileOver64KilobytesReadsBack)
{
    std::vector<std::string> data;
    for (int i = 0; i < 3; ++i) {
        data.push_back(std::string(35000, static_cast<char>('a' + i)) + std::to_string(i));
        store.AddItem("big\\v" + std::to_string(i), 0x0B, SizedData(data.back()));
    }
    ASSERT_TRUE(Save("big.92g"));
    DiskBytes file(dir / "big.92g");
    EXPECT_GT(file.Size(), 105000u);
    EntryTable table = ReadEntryTable(file);
    ASSERT_EQ(table.entries.size(), 4u);
    EXPECT_EQ(table.entries[0].folderSize, 3);
    EXPECT_EQ(table.entries.back().nextOffset, file.Size());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(ReadVariableData(file, table.entries[i + 1]), SizedData(data[i])) << i;
    EXPECT_GT(table.entries[3].dataOffset, 65535u);
}

TEST_F(SaveTest, FailedSaveKeepsTheOldFileAndReportsTheError)
{
    store.AddItem("main\\x", 0x00, Hex("0003 010203"));
    // The index claims more bytes than the data file holds: the save fails half-way.
    store.AddItem("main\\y", 0x00, Hex("0003 01"));
    {
        auto records = store.ReadIndex();
        TempStoreWriter w(store, true);
        w.Write(Hex("0003 010203") + Hex("0003 01"));
        records[1].length = 5;
        w.AddRecord(records[0]);
        w.AddRecord(records[1]);
        w.Close();
    }
    WriteFile(dir / "old.92g", "precious");
    EXPECT_FALSE(Save("old.92g"));
    EXPECT_EQ(ReadFile(dir / "old.92g"), "precious");
    ASSERT_EQ(view.errorDialogs.size(), 1u);
    EXPECT_EQ(view.errorDialogs[0].rfind("Some error occured while saving the file!\r\rMore info:\r"
                                         "Errorclass: EFileError\rMessage: \r",
                                         0),
              0u);
    EXPECT_EQ(view.memo, std::vector<std::string>{" An error (EFileError) occured while saving old.92g."});
    EXPECT_EQ(view.statuses.back(), "(none)");
    EXPECT_FALSE(view.transferMode);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 3);
}

TEST_F(SaveTest, SavingOverAFileKeepsItsModeAndWritesThroughLinks)
{
    store.AddItem("main\\x", 0x00, Hex("0003 010203"));
    WriteFile(dir / "private.92e", "old");
    std::filesystem::permissions(dir / "private.92e", std::filesystem::perms(0600));
    ASSERT_TRUE(Save("private.92e"));
    EXPECT_EQ(std::filesystem::status(dir / "private.92e").permissions(), std::filesystem::perms(0600));
    const std::string saved = ReadFile(dir / "private.92e");
    EXPECT_EQ(saved.size(), 93u);

    // A link (to a link) stays; the file at its end gets the new content.
    std::filesystem::create_directory(dir / "real");
    WriteFile(dir / "real/x.92e", "old");
    std::filesystem::permissions(dir / "real/x.92e", std::filesystem::perms(0640));
    std::filesystem::create_symlink("real/x.92e", dir / "link.92e");
    std::filesystem::create_symlink(dir / "link.92e", dir / "chain.92e");
    ASSERT_TRUE(Save("chain.92e"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "chain.92e"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.92e"));
    EXPECT_EQ(ReadFile(dir / "real/x.92e"), saved);
    EXPECT_EQ(std::filesystem::status(dir / "real/x.92e").permissions(), std::filesystem::perms(0640));
    // A link to a file not yet there creates that file.
    std::filesystem::create_symlink("real/new.92e", dir / "dangling.92e");
    ASSERT_TRUE(Save("dangling.92e"));
    EXPECT_EQ(ReadFile(dir / "real/new.92e"), saved);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "real"), {}), 2) << "no part left";
}

TEST_F(SaveTest, AFullDiskLosesNothingAndSaysWhy)
{
    store.AddItem("main\\x", 0x00, SizedData(std::string(200000, 'x')));
    WriteFile(dir / "old.92t", "precious");
    // A file size limit fails the write the way a full disk does.
    signal(SIGXFSZ, SIG_IGN);
    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    rlimit small = before;
    small.rlim_cur = 1000;
    setrlimit(RLIMIT_FSIZE, &small);
    const bool saved = Save("old.92t");
    setrlimit(RLIMIT_FSIZE, &before);
    signal(SIGXFSZ, SIG_DFL);
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadFile(dir / "old.92t"), "precious");
    ASSERT_EQ(view.errorDialogs.size(), 1u);
    EXPECT_NE(view.errorDialogs[0].find("Cannot write to the file: File too large. Nothing on the disk was changed."),
              std::string::npos)
        << view.errorDialogs[0];
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 3) << "no part left";
}

TEST_F(SaveTest, MissingStoreAndMissingFolderAreErrors)
{
    store.Remove();
    EXPECT_FALSE(Save("x.92g"));
    EXPECT_EQ(view.errorDialogs.size(), 1u);

    store.AddItem("main\\x", 0x00, Hex("0003 010203"));
    EXPECT_FALSE(Save("no-such-folder/x.92e"));
    EXPECT_EQ(view.errorDialogs.size(), 2u);
}

TEST_F(SaveTest, SaveDialogProposesTheTypeAndName)
{
    store.AddItem("main\\x", 0x00, Hex("0003 010203"));
    FileDialogRequest r = PrepareSaveDialog(store, {});
    EXPECT_EQ(r.title, "Save variable(s) as..");
    EXPECT_EQ(r.defaultExtension, "92e");
    EXPECT_EQ(r.filter, "TI92 expression files (*.92e);;TI92 groupfiles (*.92g)");
    EXPECT_EQ(r.fileName, "x.92e");

    store.Clear();
    store.AddItem("main\\bk", 0x1D, "image");
    r = PrepareSaveDialog(store, {});
    EXPECT_EQ(r.defaultExtension, "92g");
    EXPECT_EQ(r.filter, "TI92 groupfiles (*.92g)");
    EXPECT_EQ(r.fileName, "bk.92g");

    // A name from the calculator proposes a file in the chosen folder only.
    for (const auto& [name, proposed] : {std::pair{"main\\../../zz", "_.._zz.92e"}, {"main\\/etc/x", "_etc_x.92e"}}) {
        store.Clear();
        store.AddItem(name, 0x00, Hex("0003 010203"));
        EXPECT_EQ(PrepareSaveDialog(store, {}).fileName, proposed);
    }

    AddThree();
    FileDialogRequest previous;
    previous.fileName = "last.92g";
    r = PrepareSaveDialog(store, previous);
    EXPECT_EQ(r.defaultExtension, "92g");
    EXPECT_EQ(r.fileName, "last.92g");
}

TEST_F(SaveTest, SaveButtonAsksForNameAndCommentThenMovesOn)
{
    store.AddItem("main\\x", 0x00, Hex("0003 010203"));
    ScriptedDialogs dialogs;
    FileDialogRequest state;
    dialogs.ExpectFile(std::nullopt);
    EXPECT_FALSE(SaveReceivedVariables(dialogs, view, store, true, false, state));
    EXPECT_EQ(view.nextClicks, 0);

    dialogs.ExpectFile(dir / "x.92e");
    dialogs.ExpectComment("");  // OK on an emptied comment
    EXPECT_TRUE(SaveReceivedVariables(dialogs, view, store, true, false, state));
    EXPECT_EQ(view.nextClicks, 1);
    ASSERT_EQ(dialogs.shown.back().kind, "comment");
    EXPECT_EQ(dialogs.shown.back().request.title, "Enter a comment for \"x.92e\":");
    EXPECT_EQ(dialogs.shown.back().text.rfind("File dated ", 0), 0u);
    EXPECT_EQ(dialogs.shown.back().text.back(), '.');
    EXPECT_EQ(ReadFile(dir / "x.92e").substr(18, 40), Zeros(40));
}

TEST_F(SaveTest, CommentFromThePageOrTheDialogAndCancelWritesNothing)
{
    struct Row {
        const char* name;
        std::optional<std::string> pageComment;   // nothing: the dialog asks
        std::optional<std::string> dialogAnswer;  // nothing: Cancel
        bool saved;
        std::string written;  // the comment bytes in the file
        std::string report;   // a line the report holds
    };
    const Row rows[] = {
        {"page", "from the page", std::nullopt, true, "from the page", "was saved into"},
        {"pageLacking", "5 \xE2\x82\xAC", std::nullopt, true, "5 ?", "Note: in the comment,"},
        {"dialog", std::nullopt, "typed", true, "typed", "was saved into"},
        {"dialogCancel", std::nullopt, std::nullopt, false, "", "Saving y.92e was cancelled; nothing was written."},
    };
    store.AddItem("main\\x", 0x00, Hex("0003 010203"));
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const std::filesystem::path target = dir / "y.92e";
        std::filesystem::remove(target);
        view.memo.clear();
        view.nextClicks = 0;
        ScriptedDialogs dialogs;
        FileDialogRequest state;
        dialogs.ExpectFile(target.string());
        if (!r.pageComment) {
            if (r.dialogAnswer)
                dialogs.ExpectComment(*r.dialogAnswer);
            else
                dialogs.ExpectCommentCancel();
        }
        EXPECT_EQ(SaveReceivedVariables(dialogs, view, store, true, false, state, {}, r.pageComment), r.saved);
        EXPECT_TRUE(dialogs.AllAnswered());
        EXPECT_EQ(dialogs.Messages().size(), 0u) << "no error box";
        EXPECT_EQ(view.nextClicks, r.saved ? 1 : 0);
        EXPECT_EQ(std::filesystem::exists(target), r.saved);
        if (r.saved)
            EXPECT_EQ(ReadFile(target).substr(18, r.written.size()), r.written);
        bool reported = false;
        for (const std::string& line : view.memo)
            reported = reported || line.find(r.report) != std::string::npos;
        EXPECT_TRUE(reported) << r.report;
    }
}

TEST_F(SaveTest, SaveButtonSavesTheSelectedVariablesOnly)
{
    struct Row {
        std::vector<size_t> selected;
        std::string proposed;  // the name the dialog offers
        std::string entries;   // entry count byte of the file written
    };
    const Row rows[] = {
        {{1}, "b.92s", Hex("0100")},
        {{0, 2}, "last.92g", Hex("0400")},  // two variables in two folders
        {{}, "last.92g", Hex("0500")},      // none selected: all three
    };
    AddThree();
    for (const Row& r : rows) {
        SCOPED_TRACE(r.proposed + " " + std::to_string(r.selected.size()));
        ScriptedDialogs dialogs;
        FileDialogRequest state;
        state.fileName = "last.92g";
        const std::filesystem::path target = dir / "saved";
        dialogs.ExpectFile(target.string());
        dialogs.ExpectComment("");
        EXPECT_TRUE(SaveReceivedVariables(dialogs, view, store, true, false, state, r.selected));
        EXPECT_EQ(dialogs.shown[0].request.fileName, r.proposed);
        EXPECT_EQ(ReadFile(target).substr(58, 2), r.entries);
        EXPECT_EQ(store.ReadIndex().size(), 3u) << "the store keeps everything received";
        EXPECT_FALSE(std::filesystem::exists(dir / "~selected"));
    }
}
