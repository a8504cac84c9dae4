// linkwise-cli against the virtual TI-92 served on a pseudo-terminal: both
// real programs, the real termios code in between.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <unistd.h>

#include "tests/support/ProgramProcess.h"
#include "tests/support/TI92FileBuilder.h"

namespace {

ProgramOutcome Ready(const VirtualCalculatorProcess& calculator)
{
    return RunProgram({LINKWISE_CLI_PATH, "--port", "3", "--timeout", "500", "ready"}, {calculator.environment});
}

TEST(CliEndToEnd, ReadyAgainstTheVirtualCalculator)
{
    VirtualCalculatorProcess calculator(LINKWISE_SIM_PATH);
    ASSERT_EQ(calculator.environment.rfind("LINKWISE_COM3=", 0), 0u) << calculator.environment;

    ProgramOutcome ready = Ready(calculator);
    EXPECT_EQ(ready.status, 0) << ready.err;
    EXPECT_EQ(ready.out, "Calculator is ready.\n");
    EXPECT_EQ(Ready(calculator).status, 0) << "the port can be opened again";

    // Frozen: the line is there, nobody answers.
    calculator.Freeze();
    ProgramOutcome frozen = Ready(calculator);
    calculator.Thaw();
    EXPECT_EQ(frozen.status, 1);
    EXPECT_EQ(frozen.out, "Calculator is not ready.\n");
    EXPECT_EQ(frozen.err, "linkwise-cli: ready: " + calculator.link +
                              ": Calculator is not ready: Check the cable; Be sure that you are in homescreen "
                              "(press <diamond> and Q); Cause: Timeout occured when receiving byte.\n");
    EXPECT_EQ(Ready(calculator).status, 0) << "answers again once it runs again";

    // Gone: its line is gone too.
    calculator.Stop();
    ProgramOutcome gone = Ready(calculator);
    EXPECT_EQ(gone.status, 2);
    EXPECT_EQ(gone.err, "linkwise-cli: ready: An error occurred while opening the cable's device: " + calculator.link +
                            ": no such device\n");
}

TEST(CliEndToEnd, RefusedReadyCheckExitsOne)
{
    VirtualCalculatorProcess calculator(LINKWISE_SIM_PATH, {"--fault", "refuse-ready"});
    ProgramOutcome refused = Ready(calculator);
    EXPECT_EQ(refused.status, 1) << refused.err;
    EXPECT_EQ(refused.out, "Calculator is not ready.\n");
    EXPECT_EQ(refused.err, "linkwise-cli: ready: " + calculator.link + ": the ready check was refused: skipped\n");
}

// The private store folders linkwise-cli get left in a folder.
int GetFolders(const std::string& folder)
{
    int n = 0;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        n += e.path().filename().string().rfind("linkwise-get-", 0) == 0;
    return n;
}

TEST(CliEndToEnd, EndedOrKilledMidTransferLeavesThePortAndTheLineUsable)
{
    VirtualCalculatorProcess calculator(LINKWISE_SIM_PATH, {"--baud", "19200", "--variable", "main\\big:0b:4000"});
    std::string folder = TemporaryPattern("linkwise-e2e");
    ASSERT_TRUE(mkdtemp(folder.data()));
    const std::vector<std::string> env = {calculator.environment, std::string("TMPDIR=") + folder};
    const std::string saved = std::string(folder) + "/saved";
    auto get = [&](const std::string& name, int signal) {
        return RunProgram({LINKWISE_CLI_PATH, "--port", "3", "get", name, "-o", saved}, env, signal, 1500);
    };

    // SIGTERM ends it as Abort would: a message, the store folder removed.
    ProgramOutcome ended = get("big", SIGTERM);
    EXPECT_EQ(ended.status, 143);
    EXPECT_NE(ended.err.find("Operation aborted."), std::string::npos) << ended.err;
    EXPECT_EQ(GetFolders(folder), 0);
    EXPECT_EQ(get("big", SIGINT).status, 130);
    // The rest of the variable still arriving is let go before the listing.
    ProgramOutcome ls = RunProgram({LINKWISE_CLI_PATH, "--port", "3", "ls"}, env);
    EXPECT_EQ(ls.status, 0) << ls.err;
    EXPECT_NE(ls.out.find("main\\big"), std::string::npos);

    // SIGKILL: no lock outlives it, and its folder goes at the next start.
    get("big", SIGKILL);
    EXPECT_EQ(GetFolders(folder), 1);
    EXPECT_EQ(Ready(calculator).status, 0);
    EXPECT_EQ(get("main/x", 0).status, 0);
    EXPECT_EQ(GetFolders(folder), 0);
    std::filesystem::remove_all(folder);
}

// A pseudo-terminal takes the whole data packet at once; the calculator
// needs half a minute of line time to read it before it acknowledges.
TEST(CliEndToEnd, SendsA32KBVariableToACalculatorReadingAt9600Baud)
{
    VirtualCalculatorProcess calculator(LINKWISE_SIM_PATH, {"--baud", "9600"});
    std::string folder = TemporaryPattern("linkwise-e2e");
    ASSERT_TRUE(mkdtemp(folder.data()));
    std::string data;
    for (int i = 0; i < 32000; ++i)
        data += static_cast<char>(' ' + i % 95);
    const std::string file = std::string(folder) + "/big.92s";
    WriteBytes(file, VariableFileBytes("main", "32 KB", {{"big", 0x0C, data}}));

    ProgramOutcome sent = RunProgram({LINKWISE_CLI_PATH, "--port", "3", "send", file}, {calculator.environment});
    EXPECT_EQ(sent.status, 0) << sent.err;
    ProgramOutcome ls = RunProgram({LINKWISE_CLI_PATH, "--port", "3", "ls"}, {calculator.environment});
    EXPECT_NE(ls.out.find("main\\big"), std::string::npos) << ls.out << ls.err;
    std::filesystem::remove_all(folder);
}

TEST(CliEndToEnd, ExitStatusOfThePrograms)
{
    ProgramOutcome help = RunProgram({LINKWISE_CLI_PATH, "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: linkwise-cli"), std::string::npos);
    ProgramOutcome bad = RunProgram({LINKWISE_CLI_PATH, "--cable", "purple", "ready"});
    EXPECT_EQ(bad.status, 64);
    EXPECT_TRUE(bad.out.empty());
    EXPECT_NE(bad.err.find("unknown cable 'purple'"), std::string::npos);
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string out;
    };
    for (const Case& c : std::vector<Case>{{{"--version"}, 0, "linkwise-virtual-ti92 (Linkwise) "},
                                           {{"--port=3", "--help"}, 0, "Usage: linkwise-virtual-ti92"},
                                           {{"--frob"}, 64, ""},
                                           {{"--port"}, 64, ""},
                                           {{"--fault=loud"}, 64, ""}}) {
        std::vector<std::string> argv = {LINKWISE_SIM_PATH};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        ProgramOutcome r = RunProgram(argv);
        EXPECT_EQ(r.status, c.status) << c.args[0] << r.err;
        EXPECT_EQ(r.out.rfind(c.out, 0), 0u) << r.out;
    }
}

}  // namespace
