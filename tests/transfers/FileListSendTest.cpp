// The file-list send against the in-process virtual TI-92: libraries, the
// library question, text files, autocollect, failures.
#include <gtest/gtest.h>

#include <filesystem>

#include "files/ByteSource.h"
#include "tests/support/TI92FileBuilder.h"
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
        return FileListSendJob{rig.link, rig.view, rig.dialogs, rig.store, dir + "~tmp.92t", true,
                               {dir + "lib1/", dir + "lib2/", false}, LibraryChoice::Ask, {}};
    }
    std::string Program1(const std::string& name, const std::vector<std::string>& libraries)
    {
        WriteBytes(dir + name + ".92p", VariableFileBytes("main", "", {{name, 0x12, Fargo1ProgramData(libraries, name + " game")}}));
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
    rig.dialogs.ExpectFargo(11);   // Yes, and do not ask again
    FileListSendResult r = Send({Program1("alpha", {"util"}), Program1("beta", {"util"})});
    EXPECT_TRUE(r.Complete());
    EXPECT_EQ(Questions(), std::vector<std::string>{"Send 1 Fargo libraries?"});
    EXPECT_TRUE(OnCalculator("alpha") && OnCalculator("beta") && OnCalculator("util"));
    EXPECT_EQ(rig.view.memo, (std::vector<std::string>{"\"alpha.92p\" was successfully sent.",
                                                       "\"util.92p\" was successfully sent.",
                                                       "\"beta.92p\" was successfully sent.",
                                                       "Totally 2 of 2 selected file(s) + 1 libraries were sent."}));
    EXPECT_EQ(rig.view.varList, (std::vector<std::string>{"alpha.92p", "beta.92p"}));
    EXPECT_EQ(rig.view.Label(LabelId::Label18), "File(s) to send");
    EXPECT_EQ(rig.view.Label(LabelId::trLabel), "2 files were sent successfully!");
    EXPECT_EQ(rig.view.labelHistory[LabelId::trLabel][0], "Transferring alpha.92p ~ alpha game*");
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

    rig.dialogs.ExpectFargo(21);   // Yes now, "always say No" later
    Send({p1, p2});
    EXPECT_TRUE(OnCalculator("util"));
    EXPECT_FALSE(OnCalculator("flib"));
    EXPECT_EQ(Questions().size(), 1u);

    rig.calc.Clear();
    rig.dialogs.ExpectFargo(12);   // No now, "always say Yes" later
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
    FileListSendResult r = Send({Program1("none", {}), Program1("names", {"tios", "kernel", "flib", "lib", "zap"}),
                                 [&] {
                                     WriteBytes(dir + "v2.92p", VariableFileBytes("main", "", {{"v2", 0x12, Fargo2ProgramData({"util"}, "")}}));
                                     return dir + "v2.92p";
                                 }()});
    EXPECT_TRUE(r.Complete());
    EXPECT_EQ(Questions(), (std::vector<std::string>{"Send 0 Fargo libraries?", "Send 5 Fargo libraries?",
                                                     "Send 1 Fargo libraries?"}));
    EXPECT_EQ(r.librariesSent, 3);
    EXPECT_TRUE(OnCalculator("flib") && OnCalculator("lib") && OnCalculator("util"));
    EXPECT_EQ(rig.dialogs.Messages(), std::vector<std::string>{"Cannot find the required library \"" + dir +
                                                               "lib1/zap.92p\"!\rYou need this file to run " +
                                                               dir + "names.92p."});

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
    WriteBytes(dir + "photo.jpg", "not a calculator file");
    const std::string fresh = Library("", "util");
    const std::string old = Library("lib1/", "util");
    fs::last_write_time(old, fs::last_write_time(fresh) - std::chrono::hours(1));
    FileListSendJob job = Job();
    job.libraries.autoCollect = true;
    FileListSendResult r = Send({dir + "notes.txt", dir + "photo.jpg", fresh}, job);
    EXPECT_EQ(r.filesSent, 3);
    EXPECT_TRUE(OnCalculator("notes"));
    EXPECT_EQ(rig.view.labelHistory[LabelId::trLabel][0], "Transferring ~tmp.92t ~ Temporary converted textfile");
    EXPECT_EQ(rig.view.memo[2], "util.92p was copied to Fargo library-directory.");
    EXPECT_EQ(ReadWholeFile(old), ReadWholeFile(fresh));
    EXPECT_EQ(rig.view.memo.back(), "Totally 3 of 3 selected file(s) were sent.");

    // A text file without a name to give: nothing is sent, the file is named.
    const std::string euro = "\xE2\x82\xAC" "2024.txt";
    WriteBytes(dir + euro, "x");
    rig.view.errorDialogs.clear();
    r = Send({fresh, dir + euro}, job);
    EXPECT_EQ(r.filesSent, 0);
    EXPECT_EQ(rig.view.varList, (std::vector<std::string>{"util.92p", "?2024.txt"}));
    EXPECT_EQ(rig.view.memo.back(), "An error (EFileError) occured while sending " + euro + ". ");
    ASSERT_EQ(rig.view.errorDialogs.size(), 1u);
    EXPECT_NE(rig.view.errorDialogs[0].find(NoVariableNameText(euro)), std::string::npos);

    // An older library is only sent.
    fs::last_write_time(fresh, fs::last_write_time(old) - std::chrono::hours(1));
    rig.view.memo.clear();
    Send({fresh}, job);
    EXPECT_EQ(rig.view.memo, (std::vector<std::string>{"\"util.92p\" was successfully sent.",
                                                       "Totally 1 of 1 selected file(s) were sent."}));
}

TEST_F(FileListSend, AFailureEndsTheJobWithItsMessage)
{
    const std::string a = Program1("a", {}), b = Program1("b", {});
    rig.calc.memoryCapacity = 0;
    rig.dialogs.ExpectFargo(2);
    FileListSendResult r = Send({a, b});
    EXPECT_FALSE(r.Complete());
    EXPECT_EQ(rig.view.memo.back(), "An error (ECalculatorError) occured while sending a.92p. ");
    ASSERT_EQ(rig.view.errorDialogs.size(), 1u);
    EXPECT_EQ(rig.view.errorDialogs[0].substr(0, 61), "Some error occured while sending the file(s)!\r\rMore info:\rErr");
    EXPECT_EQ(rig.view.nextClicks, 0);
    EXPECT_FALSE(rig.view.transferMode);

    rig.calc.memoryCapacity = 180 * 1024;
    rig.view.memo.clear();
    WriteBytes(dir + "cut.92p", ReadWholeFile(b).substr(0, 90));
    rig.dialogs.ExpectFargo(2);
    rig.dialogs.ExpectFargo(2);
    r = Send({a, dir + "cut.92p"});
    EXPECT_EQ(r.filesSent, 1);
    EXPECT_EQ(rig.view.memo.back().substr(0, 54), "1 of 2 files were sent when an error (EFileError) occu");

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
        if (rig.view.barPosition[ProgressBarId::varBar] > 1000)
            rig.link.Aborted = 1;
    };
    const FileListSendResult r = Send({backup});
    EXPECT_FALSE(r.Complete());
    ASSERT_EQ(rig.view.errorDialogs.size(), 1u);
    EXPECT_NE(rig.view.errorDialogs[0].find("Operation aborted."), std::string::npos) << rig.view.errorDialogs[0];
}
