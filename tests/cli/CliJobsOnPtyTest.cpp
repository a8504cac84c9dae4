// linkwise-cli jobs against the virtual TI-92's executable: output paths
// checked before the first byte, -o DIR and -o -, progress lines, packet
// lines, the port from the window's settings, exit statuses.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>

#include "tests/support/ProgramProcess.h"

namespace {

namespace fs = std::filesystem;

struct CliJobsOnPty : ::testing::Test {
    QTemporaryDir dir;
    VirtualCalculatorProcess calculator{LINKWISE_SIM_PATH,
                                        {"--verbose", "--variable", "main\\big:0b:3000", "--variable",
                                         "other\\y:0b:20"}};

    ProgramOutcome Cli(std::vector<std::string> arguments, std::vector<std::string> env = {})
    {
        arguments.insert(arguments.begin(), {LINKWISE_CLI_PATH, "--port", calculator.device});
        env.push_back("LINKWISE_SETTINGS=" + Path("none.ini"));
        return RunProgram(arguments, env);
    }
    std::string Path(const std::string& name) { return (dir.path() + "/").toStdString() + name; }
    // Whether the calculator saw any packet.
    bool CalculatorHeardSomething() { return calculator.Log().find("packet ") != std::string::npos; }
};

TEST_F(CliJobsOnPty, UnusableOutputPathsAreRefusedBeforeAnyByteIsSent)
{
    ASSERT_FALSE(calculator.device.empty());
    fs::create_directories(Path("locked"));
    fs::permissions(Path("locked"), fs::perms::owner_read | fs::perms::owner_exec);
    std::ofstream(Path("plain")) << "a regular file";
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    for (const Case& c : std::vector<Case>{
             {{"get", "big", "-o", Path("missing/big.92t")}, "the folder " + Path("missing") + " does not exist"},
             {{"backup", "-o", Path("missing/x.92b")}, "the folder " + Path("missing") + " does not exist"},
             {{"get", "--all", "-o", Path("plain/all")}, "the folder cannot be made (Not a directory)"},
             {{"get", "big", "-o", Path("plain/dir/")}, "the folder cannot be made (Not a directory)"},
             {{"screenshot", "-o", Path("missing/s.png")}, "the folder " + Path("missing") + " does not exist"},
         }) {
        ProgramOutcome r = Cli(c.args);
        EXPECT_EQ(r.status, 2) << c.args[0] << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
    if (geteuid() != 0) {  // root writes anywhere
        ProgramOutcome r = Cli({"get", "big", "-o", Path("locked/big.92t")});
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("is not writable"), std::string::npos) << r.err;
    }
    EXPECT_FALSE(CalculatorHeardSomething()) << calculator.Log();
}

TEST_F(CliJobsOnPty, SavesIntoAFolderOrOnStandardOutputWithProgressLines)
{
    ASSERT_FALSE(calculator.device.empty());
    fs::create_directories(Path("out"));
    ProgramOutcome folder = Cli({"get", "main/big", "y", "-o", Path("out")});
    ASSERT_EQ(folder.status, 0) << folder.err;
    EXPECT_GT(fs::file_size(Path("out/big.92t")), 3000u);
    EXPECT_TRUE(fs::exists(Path("out/y.92t")));
    // stderr is a pipe here: a line at every tenth, none twice.
    for (int percent = 10; percent <= 100; percent += 10) {
        const std::string line = "linkwise-cli: get: " + std::to_string(percent) + "% (";
        EXPECT_NE(folder.err.find(line), std::string::npos) << folder.err;
        EXPECT_EQ(folder.err.find(line), folder.err.rfind(line)) << folder.err;
    }

    ProgramOutcome piped = Cli({"get", "big", "-o", "-", "-q"});
    ASSERT_EQ(piped.status, 0) << piped.err;
    std::ifstream saved(Path("out/big.92t"), std::ios::binary);
    const std::string expected((std::istreambuf_iterator<char>(saved)), {});
    EXPECT_EQ(piped.out.substr(0, 8), "**TI92**");
    EXPECT_EQ(piped.out.size(), expected.size());
    EXPECT_EQ(piped.err.find('%'), std::string::npos) << "-q shows no progress: " << piped.err;

    ProgramOutcome none = Cli({"get", "big", "-o", Path("none.92t"), "--progress=none"});
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.err, "");
}

TEST_F(CliJobsOnPty, GetAllSavesEveryVariableUnderItsFolderAndPatternsPickSome)
{
    ASSERT_FALSE(calculator.device.empty());
    ProgramOutcome ls = Cli({"ls", "--json", "--sort=size"});
    ASSERT_EQ(ls.status, 0) << ls.err;
    const QJsonArray listed = QJsonDocument::fromJson(QByteArray::fromStdString(ls.out)).array();
    ASSERT_GE(listed.size(), 2);
    for (qsizetype i = 1; i < listed.size(); ++i)
        EXPECT_LE(listed[i - 1]["size"].toInt(), listed[i]["size"].toInt()) << "sorted by size";

    // The folder and its parents are made, as mkdir -p does.
    ProgramOutcome all = Cli({"get", "--all", "-o", Path("new/all"), "-q"});
    ASSERT_EQ(all.status, 0) << all.err;
    size_t files = 0;
    for (const auto& e : fs::recursive_directory_iterator(Path("new/all")))
        files += e.is_regular_file();
    EXPECT_EQ(files, static_cast<size_t>(listed.size()));
    EXPECT_TRUE(fs::exists(Path("new/all/main/big.92t")));
    EXPECT_TRUE(fs::exists(Path("new/all/other/y.92t")));

    fs::create_directories(Path("some"));
    ProgramOutcome some = Cli({"get", "oth*\\?", "-o", Path("some"), "-q"});
    ASSERT_EQ(some.status, 0) << some.err;
    EXPECT_EQ(std::distance(fs::directory_iterator(Path("some")), fs::directory_iterator()), 1);
    EXPECT_TRUE(fs::exists(Path("some/y.92t")));
    ProgramOutcome none = Cli({"get", "nowhere\\*", "-o", Path("some")});
    EXPECT_EQ(none.status, 2);
    EXPECT_NE(none.err.find("no variable matches nowhere\\*"), std::string::npos) << none.err;
}

// Each job says what it did with which variable and file; -q says nothing
// when all went well; errors are said once, with the command's prefix once.
TEST_F(CliJobsOnPty, ReportsSayWhatWasDoneAndQuietSaysNothing)
{
    ASSERT_FALSE(calculator.device.empty());
    std::ofstream(Path("memo.txt")) << "Hello\n";
    std::ofstream(Path("big.txt")) << "Hello\n";
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string out, err;
    };
    for (const Case& c : std::vector<Case>{
             {{"get", "big", "-o", Path("big.92t")}, 0, "Saved main\\big to " + Path("big.92t") + "\n", ""},
             {{"get", "other/*", "-o", Path("dir/")}, 0, "Saved other\\y to " + Path("dir/y.92t") + "\n", ""},
             {{"get", "--all", "-o", Path("all")}, 0, "Saved other\\y to " + Path("all/other/y.92t") + "\n", ""},
             {{"get", "main/x", "-o", Path("x.txt")}, 2, "", "only a text variable can be saved as .txt"},
             {{"send", Path("memo.txt")}, 0, "Sent memo.txt as main\\memo\n", ""},
             {{"send", Path("big.txt")},
              1,
              "",
              "linkwise-cli: send: the calculator already holds these variables; nothing was sent:\n"
              "  main\\big (text"},
             {{"send", "--force", Path("big.92t")}, 0, "Sent big.92t as main\\big\n", ""},
             {{"get", "-q", "big", "-o", Path("quiet.92t")}, 0, "", ""},
             {{"send", "-q", "--force", Path("memo.txt")}, 0, "", ""},
             {{"backup", "-q", "-o", Path("quiet.92b")}, 0, "", ""},
             {{"send", "-q", Path("none.92p")}, 2, "", "linkwise-cli: send: " + Path("none.92p") + ": "},
         }) {
        std::vector<std::string> args = c.args;
        args.push_back("--progress=none");
        ProgramOutcome r = Cli(args);
        EXPECT_EQ(r.status, c.status) << c.args[0] << " " << c.args[1] << r.err;
        EXPECT_NE(r.out.find(c.out), std::string::npos) << r.out;
        if (c.out.empty())
            EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
        if (c.err.empty())
            EXPECT_EQ(r.err.find("linkwise-cli: "), std::string::npos) << r.err;
        for (const char* never : {"~tmp", "item(s)", "file(s)", "send: send:", "Exception", "EFileError"})
            EXPECT_EQ((r.out + r.err).find(never), std::string::npos) << never << ": " << r.out << r.err;
    }
    ProgramOutcome backup = Cli({"backup", "-o", Path("b.92b"), "--progress=none"});
    EXPECT_EQ(backup.err, "");
    EXPECT_EQ(backup.out.rfind("Saved the memory backup (", 0), 0u) << backup.out;
    EXPECT_NE(backup.out.find(" bytes) to " + Path("b.92b") + "\n"), std::string::npos) << backup.out;
}

TEST_F(CliJobsOnPty, VerboseShowsEachPacketWithItsName)
{
    ProgramOutcome r = Cli({"ready", "-v"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("> 09 68 00 00  RDY\n"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("< 89 56 00 00  ACK\n"), std::string::npos) << r.err;
}

TEST_F(CliJobsOnPty, ThePortComesFromTheWindowsSettings)
{
    ASSERT_FALSE(calculator.device.empty());
    std::ofstream(Path("settings.ini")) << "[Settings]\nCabletype=1\nPort=1\nDevice%20of%20COM%20Port%202="
                                        << calculator.device << "\n";
    ProgramOutcome r = RunProgram({LINKWISE_CLI_PATH, "ready"}, {"LINKWISE_SETTINGS=" + Path("settings.ini")});
    EXPECT_EQ(r.status, 0) << r.err;
    // The command line still wins.
    ProgramOutcome other = RunProgram({LINKWISE_CLI_PATH, "--port", Path("settings.ini"), "ready"},
                                      {"LINKWISE_SETTINGS=" + Path("settings.ini")});
    EXPECT_EQ(other.status, 2);
}

TEST(CliJobExitStatus, RefusalsExitOneOtherFailuresTwo)
{
    struct Case {
        const char* fault;
        std::vector<std::string> args;
        int status;
    };
    QTemporaryDir dir;
    const std::string out = dir.path().toStdString() + "/x.92g";
    for (const Case& c : std::vector<Case>{
             {"refuse-requests", {"get", "main\\*", "-o", out}, 1},
             {"refuse-ready", {"ls"}, 1},
             // Nobody answers: not ready, as the ready command says too.
             {"silent", {"ls"}, 1},
             {"damage-checksums", {"get", "main\\*", "-o", out}, 2},
             // Partly done: the first variable saved, the second refused or damaged.
             {"refuse-request=2", {"get", "main\\notes", "main\\hello", "-o", dir.path().toStdString()}, 1},
             {"damage-request=2", {"get", "main\\notes", "main\\hello", "-o", dir.path().toStdString()}, 2},
         }) {
        VirtualCalculatorProcess calculator(LINKWISE_SIM_PATH, {"--fault", c.fault});
        std::vector<std::string> argv = {LINKWISE_CLI_PATH, "--port", calculator.device, "--timeout", "500"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        ProgramOutcome r = RunProgram(argv);
        EXPECT_EQ(r.status, c.status) << c.fault << r.err;
        EXPECT_EQ(r.err.rfind("linkwise-cli: " + c.args[0] + ": ", 0), 0u) << r.err;
    }
    EXPECT_TRUE(fs::exists(dir.path().toStdString() + "/notes.92t"));
}

}  // namespace
