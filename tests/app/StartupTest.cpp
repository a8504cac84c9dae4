// Start-up: the command line, a Fargo backup handed over, a file in a
// temporary folder, the file-type check, and the window's --help.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

#include "app/startup/CommandLineStart.h"
#include "app/startup/InformationOptions.h"
#include "app/startup/RegistrationOptions.h"
#include "tests/app/AppRig.h"
#include "tests/support/RecordingTransferView.h"

namespace fs = std::filesystem;

namespace {

struct StartRig {
    QTemporaryDir dir;
    std::string root = dir.path().toStdString() + "/";
    ScriptedDialogs dialogs;
    RecordingTransferView view;
    StartupFolders folders{root + "program/", root + "browser/", "/nonexistent-temporary-root"};

    std::string File(const std::string& relative, const std::string& bytes = "x")
    {
        const fs::path p = root + relative;
        fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
        return p.string();
    }
    ParamCommandsType Read(const std::vector<std::string>& params)
    {
        ParamCommandsType c;
        ReadCommandLine(c, params, dialogs, view, folders);
        return c;
    }
};

}  // namespace

TEST(CommandLine, WalksFilesAndKeywords)
{
    StartRig r;
    const std::string game = r.File("Games/Tetris.92p");
    const std::string notes = r.File("notes.txt");
    const std::string other = r.File("other.92t");

    // The shell's Open verb: the name keeps its case, so the file is found.
    ParamCommandsType c = r.Read({"SEND", game});
    EXPECT_EQ(c.Commands, 1u << cmdSEND);
    EXPECT_EQ(c.FileName, game);
    EXPECT_TRUE(c.ParamMode);

    c = r.Read({game});
    EXPECT_EQ(c.Commands, 1u << cmdSEND) << "a file alone is sent";
    EXPECT_TRUE(c.ParamMode);

    c = r.Read({"CONVERT", notes, r.root + "new.92t"});
    EXPECT_EQ(c.Commands, 1u << cmdCONVERT);
    EXPECT_EQ(c.FileName, notes);
    EXPECT_EQ(c.SecondFileName, "") << "a target that does not exist yet is a word";

    c = r.Read({"CONVERT", notes, game, other});
    EXPECT_EQ(c.SecondFileName, other) << "a third file replaces the second";

    c = r.Read({"VIEW", game});
    EXPECT_EQ(c.Commands, 1u << cmdVIEW) << "VIEW does not fall back to SEND";
    EXPECT_FALSE(c.ParamMode);

    c = r.Read({r.root + "Games"});
    EXPECT_EQ(c.FileName, "") << "a folder is not a file";
    EXPECT_TRUE(r.dialogs.shown.size() == 1 && r.dialogs.shown[0].text == "No valid file entered as parameter!");

    c = r.Read({});
    EXPECT_EQ(c.Commands, 1u << cmdSEND);
    EXPECT_FALSE(c.ParamMode);
    EXPECT_EQ(r.dialogs.shown.size(), 1u) << "no parameters, no error box";
}

// A keyword counts only as a parameter of its own; every other parameter
// names a file, existing or not, whatever words its folders or name hold.
TEST(CommandLine, KeywordsAreWholeParametersNeverPartsOfFileNames)
{
    StartRig r;
    const std::string review = r.File("reviews/tetris.92p");
    const std::string inExitFolder = r.File("exit-games/maze.92p");
    const std::string converted = r.File("converted/game.92p");
    const std::string exitNamed = r.File("sendexit.92p");
    const std::string notes = r.File("notes.txt");
    const uint16_t send = 1u << cmdSEND, convert = 1u << cmdCONVERT, exit = 1u << cmdEXIT;
    struct Row {
        std::vector<std::string> params;
        uint16_t commands;
        std::string file;
    };
    std::vector<Row> rows = {
        {{review}, send, review},
        {{inExitFolder}, send, inExitFolder},
        {{converted}, send, converted},
        {{"VIEW", converted}, 1u << cmdVIEW, converted},
        {{exitNamed}, send, exitNamed},
        {{"send", exitNamed, "exit"}, send | exit, exitNamed},
        {{"Convert", notes, "eXiT"}, convert | exit, notes},
        {{"/convert", notes}, send, notes},
        {{"CON", "VERT", notes}, send, notes},
        {{"CONVERT", notes, r.root + "sendai/notes.92t", "EXIT"}, convert | exit, notes},
        {{"CONVERT", notes, r.root + "exits.92t"}, convert, notes},
        {{"CONVERT", notes, "viewer.92t"}, convert, notes},
    };
    // A target that does not exist yet, in a folder named after a keyword.
    for (const char* folder : {"send", "CONVERT", "exit", "View"})
        rows.push_back({{"CONVERT", notes, r.root + folder + "/notes.92t"}, convert, notes});
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.params));
        const ParamCommandsType c = r.Read(row.params);
        EXPECT_EQ(c.Commands, row.commands);
        EXPECT_EQ(c.FileName, row.file);
        EXPECT_EQ(c.SecondFileName, "");
    }
}

TEST(CommandLine, SendWithAMissingFileShowsTheErrorBoxAndStartsNormally)
{
    StartRig r;
    ParamCommandsType c = r.Read({"SEND", r.root + "gone.92p"});
    EXPECT_FALSE(c.ParamMode);
    ASSERT_EQ(r.dialogs.Messages(), std::vector<std::string>{"No valid file entered as parameter!"});
    EXPECT_EQ(r.dialogs.shown[0].icon, MsgIcon::Error);
}

TEST(CommandLine, NewerFargoBackupIsCopiedAndNotSentThenSentWhenAsNew)
{
    StartRig r;
    const std::string backup = r.File("downloads/fargo2-2_1.92b", "backup bytes");
    ParamCommandsType c = r.Read({"SEND", backup});
    const std::string copy = r.folders.programFolder + "fargo2-2_1.92b";
    ASSERT_TRUE(fs::exists(copy));
    EXPECT_EQ(c.Commands, 0u);
    EXPECT_EQ(c.FileName, "") << "nothing is sent";
    EXPECT_FALSE(c.ParamMode) << "no command-line task runs";
    const auto shown = r.dialogs.Messages();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], "The file \"" + backup + "\" has been copied to\r\"" + r.folders.programFolder + "\".");
    EXPECT_EQ(shown[1], "Your preinstalled Fargo-backup has been updated!\rYou probably need to update "
                        "your libraries and your standardpack too.");
    EXPECT_EQ(r.view.memo, std::vector<std::string>{"The file \"fargo2-2_1.92b\" has been copied to\r\"" +
                                                    r.folders.programFolder + "\"."});

    // Given again, the copy is as new as the file: it is sent.
    c = r.Read({"SEND", backup});
    EXPECT_EQ(c.FileName, backup);
    EXPECT_TRUE(c.ParamMode);
    EXPECT_EQ(r.dialogs.shown.size(), 2u);

    // A standard pack is taken over too, with one box only.
    const std::string pack = r.File("downloads/fargo2-standardpack.92g");
    c = r.Read({pack});
    EXPECT_TRUE(fs::exists(r.folders.programFolder + "fargo2-standardpack.92g"));
    EXPECT_EQ(r.dialogs.shown.size(), 3u);
}

TEST(CommandLine, FileInATemporaryFolderOffersToSaveItElsewhere)
{
    StartRig r;
    const std::string file = r.File("Local/Temp/tetris.92p", "program");
    r.dialogs.ExpectMessage(MsgResult::Yes);
    const std::string kept = r.root + "browser/kept.92p";
    fs::create_directories(r.root + "browser");
    r.dialogs.ExpectFile(kept);
    ParamCommandsType c = r.Read({file});
    ASSERT_EQ(r.dialogs.shown.size(), 2u);
    EXPECT_EQ(r.dialogs.shown[0].text, "This file seems to be located in a temporary folder.\rDo you "
                                       "wish to save it on another location?");
    const FileDialogRequest& d = r.dialogs.shown[1].request;
    EXPECT_EQ(d.defaultExtension, "92p");
    EXPECT_EQ(d.fileName, "tetris.92p");
    EXPECT_EQ(d.filter, "92p-files (*.92p)");
    EXPECT_EQ(d.initialDir, r.folders.browserFolder);
    EXPECT_TRUE(fs::exists(kept));
    EXPECT_EQ(r.view.memo, std::vector<std::string>{"kept.92p was saved in " + r.root + "browser."});
    EXPECT_EQ(c.FileName, file) << "the file sent is still the one given";

    // The system's temporary folder counts too; No keeps nothing.
    r.folders.temporaryRoot = r.root + "tmp";
    const std::string mail = r.File("tmp/mail/game.92p");
    r.dialogs.ExpectMessage(MsgResult::No);
    c = r.Read({"SEND", mail});
    EXPECT_EQ(r.dialogs.shown.size(), 3u);
    EXPECT_TRUE(c.ParamMode);
    EXPECT_TRUE(r.dialogs.AllAnswered());
}

TEST(Startup, NeitherAsksNorRegistersTheFileTypes)
{
    AppRig rig;
    rig.shell.registered = false;
    rig.Set("Settings", "Check Registry", "1");
    rig.Create().onFirstPaint();
    EXPECT_TRUE(rig.dialogs.shown.empty());
    EXPECT_EQ(rig.shell.registrations, 0);
}

TEST(Startup, WindowReadsItsCommandLineWhenCreated)
{
    AppRig rig;
    rig.parameters = {"SEND", rig.dir.path().toStdString() + "/missing.92p"};
    WizardWindow& f = rig.Create();
    EXPECT_EQ(rig.dialogs.Messages(), std::vector<std::string>{"No valid file entered as parameter!"});
    EXPECT_FALSE(f.paramCommands.ParamMode);
    f.onFirstPaint();
    EXPECT_EQ(f.PageShown(), pageMenu) << "a normal start";
}

TEST(Startup, HelpAndVersionAnswerWithoutTheWindow)
{
    std::ostringstream out;
    EXPECT_EQ(AnswerInformationOptions({"--version"}, out), 0);
    EXPECT_EQ(out.str().rfind("linkwise (Linkwise) ", 0), 0u);
    out.str("");
    EXPECT_EQ(AnswerInformationOptions({"SEND", "-h"}, out), 0);
    EXPECT_NE(out.str().find("Usage: linkwise"), std::string::npos);
    EXPECT_FALSE(AnswerInformationOptions({"SEND", "--", "--help"}, out));
    EXPECT_FALSE(AnswerInformationOptions({"VIEW"}, out));
}

// --register writes nothing where a package provides the entries; either way
// a failure is reported with exit status 1.
TEST(Startup, RegistrationOnlyOnRequestAndOnlyWithoutAnInstalledPackage)
{
    EXPECT_EQ(FindRegistrationRequest({"VIEW", "--register"}), RegistrationRequest::Register);
    EXPECT_EQ(FindRegistrationRequest({"--unregister"}), RegistrationRequest::Unregister);
    EXPECT_FALSE(FindRegistrationRequest({"SEND", "--", "--register"}));
    struct Row {
        RegistrationRequest request;
        std::string installed;
        const char* failure;
        int status, registrations, unregistrations;
        std::string said;
    };
    const Row rows[] = {
        {RegistrationRequest::Register, "", nullptr, 0, 1, 0, "TI-92 files now open with Linkwise"},
        {RegistrationRequest::Register, "/usr/share", nullptr, 0, 0, 0, "entries in /usr/share;"},
        {RegistrationRequest::Unregister, "/usr/share", nullptr, 0, 0, 1, "registration for TI-92 files is removed"},
        {RegistrationRequest::Register, "", "Cannot write /x.", 1, 0, 0,
         "registration for TI-92 files failed: Cannot write /x."},
        {RegistrationRequest::Unregister, "", "Cannot remove /x.", 1, 0, 0, "could not be removed: Cannot remove /x."},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.said);
        RecordingShell shell;
        shell.installedEntries = r.installed;
        shell.failure = r.failure;
        std::ostringstream out, err;
        EXPECT_EQ(CarryOutRegistration(r.request, shell, out, err), r.status);
        EXPECT_NE((r.status ? err : out).str().find(r.said), std::string::npos) << out.str() << err.str();
        EXPECT_EQ(shell.registrations, r.registrations);
        EXPECT_EQ(shell.unregistrations, r.unregistrations);
    }
}
