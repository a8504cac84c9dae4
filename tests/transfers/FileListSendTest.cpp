// The file-list send against the in-process virtual TI-92: libraries, the
// library question, text files, autocollect, failures.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "files/ByteSource.h"
#include "tests/support/TI92FileBuilder.h"
#include "tests/transfers/SentFiles.h"
#include "tests/transfers/TransferRig.h"
#include "transfers/FileListSend.h"

namespace fs = std::filesystem;

namespace {

class FileListSend : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = rig.folder.path().toStdString() + "/";
        fs::create_directories(dir + "lib1");
        fs::create_directories(dir + "lib2");
        rig.calc.Clear();
    }
    FileListSendJob Job()
    {
        return FileListSendJob{rig.link,
                               rig.view,
                               rig.dialogs,
                               rig.store,
                               dir + "~tmp.92t",
                               true,
                               {dir + "lib1/", dir + "lib2/", false},
                               LibraryChoice::Ask,
                               {}};
    }
    std::string Program1(const std::string& name, const std::vector<std::string>& libraries)
    {
        WriteBytes(dir + name + ".92p",
                   VariableFileBytes("main", "", {{name, 0x12, Fargo1ProgramData(libraries, name + " game")}}));
        return dir + name + ".92p";
    }
    std::string Library(const std::string& folder, const std::string& name, bool v2 = false)
    {
        const std::string path = dir + folder + name + ".92p";
        WriteBytes(path, VariableFileBytes("main", "", {{name, 0x12, v2 ? Fargo2LibraryData() : Fargo1LibraryData()}}));
        return path;
    }
    FileListSendResult Send(const std::vector<std::string>& paths, FileListSendJob job)
    {
        return SendFileList(job, paths);
    }
    FileListSendResult Send(const std::vector<std::string>& paths) { return Send(paths, Job()); }
    std::vector<std::string> Questions() const
    {
        std::vector<std::string> q;
        for (const auto& s : rig.dialogs.shown)
            if (s.kind == "fargo")
                q.push_back(s.text);
        return q;
    }
    bool OnCalculator(const std::string& name) const { return rig.calc.FindVariable("main\\" + name) != nullptr; }

    SimRig rig;
    std::string dir;
};

}  // namespace

TEST_F(FileListSend, TwoProgramsSharingALibrarySendItOnce)
{
    Library("lib1/", "util");
    rig.dialogs.ExpectFargo(11);  // Yes, and do not ask again
    FileListSendResult r = Send({Program1("alpha", {"util"}), Program1("beta", {"util"})});
    EXPECT_TRUE(r.Complete());
    EXPECT_EQ(Questions(), std::vector<std::string>{"Send 1 Fargo libraries?"});
    EXPECT_TRUE(OnCalculator("alpha") && OnCalculator("beta") && OnCalculator("util"));
    EXPECT_EQ(rig.view.memo,
              (std::vector<std::string>{"\"alpha.92p\" was successfully sent.", "\"util.92p\" was successfully sent.",
                                        "\"beta.92p\" was successfully sent.",
                                        "Totally 2 of 2 selected file(s) + 1 libraries were sent."}));
    EXPECT_EQ(rig.view.variableList, (std::vector<std::string>{"alpha.92p", "beta.92p"}));
    EXPECT_EQ(rig.view.Label(LabelId::VariablesHeading), "File(s) to send");
    EXPECT_EQ(rig.view.Label(LabelId::Transfer), "2 files were sent successfully!");
    EXPECT_EQ(rig.view.labelHistory[LabelId::Transfer][0], "Transferring alpha.92p ~ alpha game*");
    EXPECT_EQ(rig.view.nextClicks, 1);
    EXPECT_EQ(rig.view.transferModeOn, rig.view.transferModeOff);

    // A second job sends the library again.
    rig.calc.Clear();
    rig.dialogs.ExpectFargo(1);
    Send({Program1("alpha", {"util"})});
    EXPECT_TRUE(OnCalculator("util"));
}

TEST_F(FileListSend, AlwaysAnswersHoldForTheRestOfTheJob)
{
    Library("lib1/", "util");
    Library("lib1/", "flib");
    const std::string p1 = Program1("p1", {"util"}), p2 = Program1("p2", {"flib"});

    rig.dialogs.ExpectFargo(21);  // Yes now, "always say No" later
    Send({p1, p2});
    EXPECT_TRUE(OnCalculator("util"));
    EXPECT_FALSE(OnCalculator("flib"));
    EXPECT_EQ(Questions().size(), 1u);

    rig.calc.Clear();
    rig.dialogs.ExpectFargo(12);  // No now, "always say Yes" later
    Send({p1, p2});
    EXPECT_FALSE(OnCalculator("util"));
    EXPECT_TRUE(OnCalculator("flib"));
    EXPECT_EQ(Questions().size(), 2u);

    // The command line decides for the whole job without asking.
    rig.calc.Clear();
    FileListSendJob job = Job();
    job.choice = LibraryChoice::AlwaysYes;
    Send({p1, p2}, job);
    EXPECT_TRUE(OnCalculator("util") && OnCalculator("flib"));
    EXPECT_EQ(Questions().size(), 2u);
}

TEST_F(FileListSend, LibraryLookupAndWarnings)
{
    Library("lib1/", "flib");
    Library("lib1/", "lib");
    Library("lib2/", "util", true);
    rig.dialogs.ExpectFargo(2);
    rig.dialogs.ExpectFargo(1);
    rig.dialogs.ExpectFargo(1);
    FileListSendResult r = Send(
        {Program1("none", {}), Program1("names", {"tios", "kernel", "flib", "lib", "zap"}), [&] {
             WriteBytes(dir + "v2.92p", VariableFileBytes("main", "", {{"v2", 0x12, Fargo2ProgramData({"util"}, "")}}));
             return dir + "v2.92p";
         }()});
    EXPECT_TRUE(r.Complete());
    EXPECT_EQ(Questions(), (std::vector<std::string>{"Send 0 Fargo libraries?", "Send 5 Fargo libraries?",
                                                     "Send 1 Fargo libraries?"}));
    EXPECT_EQ(r.librariesSent, 3);
    EXPECT_TRUE(OnCalculator("flib") && OnCalculator("lib") && OnCalculator("util"));
    EXPECT_EQ(rig.dialogs.Messages(),
              std::vector<std::string>{"Cannot find the required library \"" + dir +
                                       "lib1/zap.92p\"!\rYou need this file to run " + dir + "names.92p."});

    // More libraries than are kept: the first ten are looked up, and the user hears of the rest.
    std::vector<std::string> twelve;
    for (int i = 0; i < 12; ++i)
        twelve.push_back("tios");
    rig.dialogs.ExpectFargo(1);
    Send({Program1("many", twelve)});
    EXPECT_EQ(rig.dialogs.Messages().back(), dir + "many.92p names 12 libraries; only the first 10 were "
                                                   "looked up.\rYou need the others to run it too.");
}

TEST_F(FileListSend, TextFilesOtherFilesAndAutocollect)
{
    WriteBytes(dir + "notes.txt", "Hello\r\nworld");
    const std::string fresh = Library("", "util");
    const std::string old = Library("lib1/", "util");
    fs::last_write_time(old, fs::last_write_time(fresh) - std::chrono::hours(1));
    FileListSendJob job = Job();
    job.libraries.autoCollect = true;
    FileListSendResult r = Send({dir + "notes.txt", fresh}, job);
    EXPECT_EQ(r.filesSent, 2);
    EXPECT_TRUE(OnCalculator("notes"));
    // The text file is named as the user chose it, never by its temporary file.
    EXPECT_EQ(rig.view.labelHistory[LabelId::Transfer][0], "Transferring notes.txt ~ Temporary converted textfile");
    EXPECT_EQ(rig.view.memo[0], "notes.txt was successfully converted to the text variable notes.");
    EXPECT_EQ(rig.view.memo[1], "\"notes.txt\" was successfully sent.");
    EXPECT_EQ(rig.view.memo[2], "util.92p was copied to Fargo library-directory.");
    ASSERT_EQ(r.sent.size(), 2u);
    EXPECT_EQ(r.sent[0].file, "notes.txt");
    EXPECT_EQ(r.sent[0].variables, std::vector<std::string>{"notes"});
    EXPECT_EQ(r.sent[1].file, "util.92p");
    EXPECT_EQ(ReadWholeFile(old), ReadWholeFile(fresh));
    EXPECT_EQ(rig.view.memo.back(), "Totally 2 of 2 selected file(s) were sent.");

    // A text file without a name to give: nothing is sent, the file is named.
    const std::string euro = "\xE2\x82\xAC"
                             "2024.txt";
    WriteBytes(dir + euro, "x");
    rig.view.errorDialogs.clear();
    r = Send({fresh, dir + euro}, job);
    EXPECT_EQ(r.filesSent, 0);
    EXPECT_EQ(rig.view.variableList, (std::vector<std::string>{"util.92p", "?2024.txt"}));
    EXPECT_EQ(rig.view.memo.back(), "An error (EFileError) occured while checking " + euro + ". Nothing was sent.");
    ASSERT_EQ(rig.view.errorDialogs.size(), 1u);
    EXPECT_NE(rig.view.errorDialogs[0].find(NoVariableNameText(euro)), std::string::npos);

    // A library older than the collected one, or exactly as old, is only sent.
    for (auto age : {std::chrono::hours(1), std::chrono::hours(0)}) {
        fs::last_write_time(fresh, fs::last_write_time(old) - age);
        rig.view.memo.clear();
        Send({fresh}, job);
        EXPECT_EQ(rig.view.memo, (std::vector<std::string>{"\"util.92p\" was successfully sent.",
                                                           "Totally 1 of 1 selected file(s) were sent."}));
    }
}

// All text files are converted before the first is sent: each is written
// out again when its turn comes, so each arrives as its own variable.
TEST_F(FileListSend, TwoTextFilesArriveAsTwoVariables)
{
    WriteBytes(dir + "first.txt", "one");
    WriteBytes(dir + "second.txt", "two");
    EXPECT_TRUE(Send({dir + "first.txt", dir + "second.txt"}).Complete());
    const SimVariable* first = rig.calc.FindVariable("main\\first");
    const SimVariable* second = rig.calc.FindVariable("main\\second");
    ASSERT_TRUE(first && second);
    EXPECT_NE(first->bytes.find("one"), std::string::npos);
    EXPECT_NE(second->bytes.find("two"), std::string::npos);
}

TEST_F(FileListSend, AFailureEndsTheJobWithItsMessage)
{
    const std::string a = Program1("a", {}), b = Program1("b", {});
    rig.calc.memoryCapacity = 0;
    rig.dialogs.ExpectFargo(2);
    rig.dialogs.ExpectFargo(2);
    FileListSendResult r = Send({a, b});
    EXPECT_FALSE(r.Complete());
    EXPECT_EQ(rig.view.memo.back(), "An error (ECalculatorError) occured while sending a.92p. ");
    ASSERT_EQ(rig.view.errorDialogs.size(), 1u);
    EXPECT_EQ(rig.view.errorDialogs[0].substr(0, 61),
              "Some error occured while sending the file(s)!\r\rMore info:\rErr");
    EXPECT_EQ(rig.view.nextClicks, 0);
    EXPECT_FALSE(rig.view.transferMode);

    rig.calc.memoryCapacity = 180 * 1024;
    rig.view.memo.clear();
    WriteBytes(dir + "cut.92p", ReadWholeFile(b).substr(0, 90));
    rig.dialogs.ExpectFargo(2);
    r = Send({a, dir + "cut.92p"});
    EXPECT_EQ(r.filesSent, 0);
    EXPECT_EQ(rig.view.memo.back(), "An error (EFileError) occured while checking cut.92p. Nothing was sent.");

    // The wizard's step: a missing selected file stops everything before it starts.
    try {
        SendFiles(Job(), std::nullopt, dir, {"a.92p", "gone.92p"});
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "File does not exists:\r" + dir + "gone.92p");
    }
    rig.view.memo.clear();
    SendFiles(Job(), std::nullopt, dir, {});
    EXPECT_TRUE(rig.view.memo.empty());
}

TEST_F(FileListSend, AnAbortDuringABackupShowsOneBox)
{
    const std::string backup = std::string(LINKWISE_REAL92_DIR) + "/backup.92b";
    rig.pump.hook = [&] {
        if (rig.view.barPosition[ProgressBarId::Variable] > 1000)
            rig.link.Aborted = 1;
    };
    const FileListSendResult r = Send({backup});
    EXPECT_FALSE(r.Complete());
    ASSERT_EQ(rig.view.errorDialogs.size(), 1u);
    EXPECT_NE(rig.view.errorDialogs[0].find("Operation aborted."), std::string::npos) << rig.view.errorDialogs[0];
}

// Every file is checked before the first byte goes out: one bad file in the
// list sends nothing, and the report names it.
TEST_F(FileListSend, ABadFileAnywhereInTheListSendsNothing)
{
    const std::string good = dir + "good.92s";
    WriteBytes(good, VariableFileBytes("main", "", {{"good", 0x0C, std::string("\0abc\0\x2D", 6)}}));
    WriteBytes(dir + "photo.jpg", "not a calculator file");
    WriteBytes(dir + "cut.92s", ReadWholeFile(good).substr(0, 90));
    std::string backup = BackupFile("1.11", std::string(300, 'x'));
    backup[100] ^= 1;
    WriteBytes(dir + "damaged.92b", backup);
    // A sparse 1 GB backup: refused by its size, never read.
    WriteBytes(dir + "huge.92b", BackupFile("1.11", "x"));
    fs::resize_file(dir + "huge.92b", uint64_t(1) << 30);
    struct Row {
        const char* file;
        const char* why;
    };
    for (const Row& row : {Row{"photo.jpg", "photo.jpg is neither a TI-92 file nor a text file."},
                           Row{"cut.92s", "The file cut.92s is damaged"},
                           Row{"damaged.92b", "The backup damaged.92b is damaged (its checksum does not match)"},
                           Row{"huge.92b", "The backup huge.92b is 1073741824 bytes long; a TI-92 memory image is "
                                           "at most 262144 bytes."}}) {
        SCOPED_TRACE(row.file);
        rig.view.errorDialogs.clear();
        const FileListSendResult r = Send({good, dir + row.file});
        EXPECT_EQ(r.filesSent, 0);
        EXPECT_FALSE(OnCalculator("good"));
        EXPECT_EQ(rig.view.memo.back(),
                  std::string("An error (EFileError) occured while checking ") + row.file + ". Nothing was sent.");
        ASSERT_EQ(rig.view.errorDialogs.size(), 1u);
        EXPECT_NE(rig.view.errorDialogs[0].find(row.why), std::string::npos) << rig.view.errorDialogs[0];
    }
}

// Variables the calculator holds are replaced only with the user's word.
TEST_F(FileListSend, ReplacingAskedForEachVariableTheCalculatorHolds)
{
    Library("lib1/", "util");
    const std::string group = dir + "two.92g";
    WriteBytes(group, VariableFileBytes("main", "",
                                        {{"alpha", 0x0C, std::string("\0new\0\x2D", 6)},
                                         {"beta", 0x0C, std::string("\0new\0\x2D", 6)},
                                         {"gamma", 0x0C, std::string("\0new\0\x2D", 6)}}));
    const std::string program = Program1("prog", {"util"});
    struct Row {
        ReplacePolicy policy;
        std::vector<MsgResult> answers;
        const char* replaced;  // of alpha, beta, util: 1 replaced, 0 kept
        bool refused;
        bool cancelled = false;  // every question comes first: a Cancel sends nothing
    };
    for (const Row& row :
         {Row{ReplacePolicy::Ask, {MsgResult::Yes, MsgResult::No, MsgResult::Yes}, "101", false},
          Row{ReplacePolicy::Ask, {MsgResult::No, MsgResult::YesToAll}, "011", false},
          Row{ReplacePolicy::Ask, {MsgResult::NoToAll}, "000", false}, Row{ReplacePolicy::Replace, {}, "111", false},
          Row{ReplacePolicy::Ask, {MsgResult::Yes, MsgResult::Cancel}, "000", false, true},
          Row{ReplacePolicy::Refuse, {}, "000", true}}) {
        SCOPED_TRACE(row.replaced);
        rig.calc.Clear();
        rig.dialogs.shown.clear();
        for (const char* name : {"alpha", "beta", "util"})
            rig.calc.AddVariable("main", name, 0x12, "old");
        rig.dialogs.ExpectFargo(1);
        for (MsgResult a : row.answers)
            rig.dialogs.ExpectMessage(a);
        FileListSendJob job = Job();
        job.replace = row.policy;
        const FileListSendResult r = Send({group, program}, job);
        EXPECT_TRUE(rig.dialogs.AllAnswered());
        EXPECT_EQ(rig.dialogs.Messages().size(), row.answers.size());
        const char* names[] = {"alpha", "beta", "util"};
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(rig.calc.FindVariable(std::string("main\\") + names[i])->Data() == "old", row.replaced[i] == '0')
                << names[i];
        EXPECT_EQ(OnCalculator("gamma"), !row.refused && !row.cancelled);
        EXPECT_EQ(r.existing.size(), row.refused ? 3u : 0u);
        EXPECT_EQ(r.cancelled, row.cancelled);
        if (row.cancelled) {
            EXPECT_EQ(rig.view.labels[LabelId::Transfer], "The send was cancelled; nothing was sent.");
            EXPECT_EQ(rig.view.memo.back(), rig.view.labels[LabelId::Transfer]);
        }
        // The listing read for the question nests in the job: the window is handed back once.
        EXPECT_EQ(rig.view.transferModeOn, rig.view.transferModeOff);
    }
    EXPECT_EQ(rig.view.memo.back(),
              "Nothing was sent: the calculator already holds main\\alpha (program, 5 bytes on the calculator; "
              "string, 8 bytes in two.92g), main\\beta (program, 5 bytes on the calculator; string, 8 bytes in "
              "two.92g), main\\util (program, 5 bytes on the calculator; program, " +
                  std::to_string(Fargo1LibraryData().size() + 2) + " bytes in util.92p).");
}

// A name without a folder lands in the calculator's current folder; when the
// listing names none, it may land in any folder that holds the name.
TEST_F(FileListSend, ANameWithoutAFolderIsCheckedWhereItLands)
{
    const std::string group = dir + "games.92g";
    WriteBytes(group, VariableFileBytes("main", "",
                                        {{"tetris", 0x0C, std::string("\0new\0\x2D", 6)},
                                         {"snake", 0x0C, std::string("\0new\0\x2D", 6)}}));
    struct Row {
        const char* current;
        bool named;  // the listing's header names the current folder
        std::vector<std::string> existing;
    };
    for (const Row& row : {Row{"games", true, {"games\\tetris"}}, Row{"main", true, {"main\\tetris"}},
                           Row{"games", false, {"games\\tetris", "main\\tetris"}}}) {
        SCOPED_TRACE(row.current + std::string(row.named ? "" : ", not named"));
        rig.calc.Clear();
        rig.calc.AddVariable("main", "tetris", 0x12, "old");
        rig.calc.AddVariable("games", "tetris", 0x12, "old");
        rig.calc.currentFolder = row.current;
        rig.calculator.faults.listingNamesNoFolder = !row.named;
        FileListSendJob job = Job();
        job.replace = ReplacePolicy::Refuse;
        const FileListSendResult r = Send({group}, job);
        std::vector<std::string> existing;
        for (const std::string& e : r.existing)
            existing.push_back(e.substr(0, e.find(' ')));
        EXPECT_EQ(existing, row.existing);
        EXPECT_EQ(rig.calc.FindVariable("snake"), nullptr);
    }
    // Asked about, the question names the folder it would replace in.
    rig.dialogs.ExpectMessage(MsgResult::No);
    FileListSendJob job = Job();
    job.replace = ReplacePolicy::Ask;
    rig.calculator.faults.listingNamesNoFolder = false;
    rig.calc.currentFolder = "games";
    Send({group}, job);
    ASSERT_EQ(rig.dialogs.Messages().size(), 1u);
    EXPECT_EQ(rig.dialogs.Messages()[0].rfind("The calculator already holds the variable tetris in the folder games.",
                                              0),
              0u);
    EXPECT_EQ(rig.calc.FindVariable("games\\tetris")->Data(), "old");
    EXPECT_NE(rig.calc.FindVariable("games\\snake"), nullptr);
}

// A variable the files of one job give twice would replace its own first
// copy: refused, or asked about like one the calculator holds.
TEST_F(FileListSend, AVariableGivenTwiceIsAskedAboutOrRefused)
{
    const auto copy = [](const char* text) { return std::string("\0", 1) + text + std::string("\0\x2D", 2); };
    const std::string first = dir + "first.92g", second = dir + "second.92g";
    WriteBytes(first, VariableFileBytes("main", "", {{"brand", 0x0C, copy("one")}, {"x", 0x0C, copy("x")}}));
    WriteBytes(second, VariableFileBytes("main", "", {{"y", 0x0C, copy("y")}, {"brand", 0x0C, copy("two")}}));
    struct Row {
        ReplacePolicy policy;
        std::vector<MsgResult> answers;
        const char* held;  // brand on the calculator afterwards; empty: nothing sent
    };
    std::string asked;
    for (const Row& row : {Row{ReplacePolicy::Refuse, {}, ""}, Row{ReplacePolicy::Ask, {MsgResult::No}, "one"},
                           Row{ReplacePolicy::Ask, {MsgResult::Yes}, "two"}, Row{ReplacePolicy::Replace, {}, "two"}}) {
        SCOPED_TRACE(row.held);
        rig.calc.Clear();
        rig.dialogs.shown.clear();
        for (MsgResult a : row.answers)
            rig.dialogs.ExpectMessage(a);
        FileListSendJob job = Job();
        job.replace = row.policy;
        const FileListSendResult r = Send({first, second}, job);
        EXPECT_TRUE(rig.dialogs.AllAnswered());
        ASSERT_EQ(rig.dialogs.Messages().size(), row.answers.size());
        if (!row.answers.empty())
            asked = rig.dialogs.Messages()[0];
        const SimVariable* brand = rig.calc.FindVariable("main\\brand");
        EXPECT_EQ(brand ? brand->Data().substr(1, 3) : "", row.held);
        EXPECT_EQ(r.repeated.size(), *row.held ? 0u : 1u);
        EXPECT_EQ(OnCalculator("y"), *row.held != 0);
    }
    EXPECT_EQ(asked, "The files give the variable brand twice.\r\rFirst: string, 8 bytes in "
                     "first.92g.\rThen: string, 8 bytes in second.92g.\r\rReplace the first "
                     "with the second?");
    // One file that holds an entry twice: the first copy is not lost to a No.
    WriteBytes(first, VariableFileBytes("main", "", {{"brand", 0x0C, copy("one")}, {"brand", 0x0C, copy("two")}}));
    rig.calc.Clear();
    rig.dialogs.ExpectMessage(MsgResult::No);
    FileListSendJob job = Job();
    job.replace = ReplacePolicy::Ask;
    EXPECT_TRUE(Send({first}, job).Complete());
    EXPECT_EQ(rig.calc.FindVariable("main\\brand")->Data().substr(1, 3), "one");
}

TEST_F(FileListSend, ABackupIsSentOnlyAfterYes)
{
    WriteBytes(dir + "mem.92b", BackupFile("1.11", std::string(300, 'x')));
    rig.calc.AddVariable("main", "keep", 0x0C, "k");
    for (const MsgResult answer : {MsgResult::No, MsgResult::Yes}) {
        rig.dialogs.ExpectMessage(answer);
        FileListSendJob job = Job();
        job.confirmBackup = true;
        const FileListSendResult r = Send({dir + "mem.92b"}, job);
        EXPECT_EQ(rig.calc.HasInstalledImage(), answer == MsgResult::Yes);
        EXPECT_EQ(r.Complete(), answer == MsgResult::Yes);
    }
    EXPECT_EQ(rig.dialogs.Messages()[0], "Sending the memory backup mem.92b replaces the calculator's whole memory: "
                                         "every variable on the calculator is replaced by the backup's content.\r\r"
                                         "Send it?");
}
