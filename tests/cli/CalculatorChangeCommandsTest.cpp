// rm, mv, cp, mkdir, rmdir, lock and unlock against the virtual TI-92's
// executable: each change confirmed by ls, refusals with exit status 1 while
// the other names are still done, usage errors before any packet, and a
// silent calculator.
#include <gtest/gtest.h>

#include "tests/support/ProgramProcess.h"

namespace {

struct ChangeCommands : ::testing::Test {
    VirtualCalculatorProcess calculator{LINKWISE_SIM_PATH,
                                        {"--verbose", "--variable", "main\\a:0b:10", "--variable", "main\\b:0b:10",
                                         "--variable", "other\\c:0b:10"}};

    ProgramOutcome Cli(std::vector<std::string> arguments, VirtualCalculatorProcess* calc = nullptr)
    {
        arguments.insert(arguments.begin(), {LINKWISE_CLI_PATH, "--port", (calc ? calc : &calculator)->device});
        return RunProgram(arguments, {"LINKWISE_SETTINGS=/nonexistent/none.ini"});
    }
    // The names ls shows, in its order, leaving out the demo content's.
    std::string Names()
    {
        const ProgramOutcome ls = Cli({"ls"});
        EXPECT_EQ(ls.status, 0) << ls.err;
        std::string names;
        size_t at = ls.out.find('\n');
        while (at != std::string::npos && at + 1 < ls.out.size()) {
            const std::string name = ls.out.substr(at + 1, ls.out.find(' ', at + 1) - at - 1);
            if (std::string("abcz").find(name.back()) != std::string::npos && name.end()[-2] == '\\')
                names += (names.empty() ? "" : " ") + name;
            at = ls.out.find('\n', at + 1);
        }
        return names;
    }
};

}  // namespace

TEST_F(ChangeCommands, EachCommandIsConfirmedByTheListing)
{
    ASSERT_FALSE(calculator.device.empty());
    struct Step {
        std::vector<std::string> args;
        int status;
        std::string output;  // on standard output (status 0) or standard error
        std::string names;   // what ls shows afterwards
    };
    const std::vector<Step> steps = {
        {{"mkdir", "work"}, 0, "folder work made\n", "main\\a main\\b other\\c"},
        {{"mv", "main/a", "work"}, 0, "main\\a moved into the folder work\n", "main\\b other\\c work\\a"},
        {{"mv", "work\\a", "work\\z"}, 0, "work\\a renamed to work\\z\n", "main\\b other\\c work\\z"},
        {{"cp", "b", "other"}, 0, "main\\b copied to other\\b\n", "main\\b other\\c other\\b work\\z"},
        {{"lock", "main\\b", "other\\c"}, 0, "main\\b locked\nother\\c locked\n", "main\\b other\\c other\\b work\\z"},
        {{"rm", "main\\b", "other\\b"},
         1,
         "linkwise-cli: rm: could not delete main\\b: main\\b is locked",
         "main\\b other\\c work\\z"},
        {{"rmdir", "work"},
         1,
         "linkwise-cli: rmdir: could not delete the folder work: the folder work is not empty",
         "main\\b other\\c work\\z"},
        {{"unlock", "main\\b"}, 0, "main\\b unlocked\n", "main\\b other\\c work\\z"},
        {{"rm", "B", "work/z"}, 0, "main\\b deleted\nwork\\z deleted\n", "other\\c"},
        {{"rmdir", "work"}, 0, "folder work deleted\n", "other\\c"},
        {{"rmdir", "main"}, 1, "the folder main cannot be deleted", "other\\c"},
    };
    for (const Step& s : steps) {
        const ProgramOutcome r = Cli(s.args);
        EXPECT_EQ(r.status, s.status) << s.args[0] << ": " << r.err;
        if (s.status == 0)
            EXPECT_EQ(r.out, s.output) << r.err;
        else
            EXPECT_NE(r.err.find(s.output), std::string::npos) << r.err;
        EXPECT_EQ(Names(), s.names) << s.args[0];
    }
}

TEST_F(ChangeCommands, UsageErrorsSendNoKey)
{
    ASSERT_FALSE(calculator.device.empty());
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{{"rm"},
                                                                                      {"mv", "a"},
                                                                                      {"mv", "a", "9lives"},
                                                                                      {"cp", "a", "b", "c"},
                                                                                      {"mkdir", "a folder"},
                                                                                      {"rmdir", "toolongname"},
                                                                                      {"lock", "main\\"},
                                                                                      {"unlock", "x/y/z"}}) {
        const ProgramOutcome r = Cli(args);
        EXPECT_EQ(r.status, 64) << args[0] << ": " << r.err;
    }
    EXPECT_EQ(calculator.Log().find("packet "), std::string::npos) << calculator.Log();
}

TEST(ChangeCommandsSilent, ASilentCalculatorIsExitStatusTwo)
{
    VirtualCalculatorProcess silent{LINKWISE_SIM_PATH, {"--fault", "silent"}};
    ASSERT_FALSE(silent.device.empty());
    const ProgramOutcome r = RunProgram({LINKWISE_CLI_PATH, "--port", silent.device, "--timeout", "100", "rm", "a"},
                                        {"LINKWISE_SETTINGS=/nonexistent/none.ini"});
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_NE(r.err.find("could not delete main\\a"), std::string::npos) << r.err;
}
