#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>
#include <sstream>

#include "app/cli/CliCommands.h"
#include "app/cli/CliSettings.h"
#include "app/cli/ConsoleDialogs.h"
#include "link/Exceptions.h"

namespace {

using Args = std::vector<std::string>;

const std::vector<OptionSpec> kSpecs = {{"o,output", "FILE", ""},
                                        {"comment", "TEXT", "", true},
                                        {"key", "NAME", ""},
                                        {"j,json", "", ""}};

struct ParseCase {
    Args args;
    std::string output, comment;
    bool json;
    Args positional;
};

class ParseOptionsTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseOptionsTest, TakesEveryFormOfAnOption)
{
    const ParseCase& c = GetParam();
    const ParsedOptions p = ParseOptions(kSpecs, c.args);
    EXPECT_EQ(p.Value("output"), c.output);
    EXPECT_EQ(p.Value("comment", "(none)"), c.comment);
    EXPECT_EQ(p.Has("json"), c.json);
    EXPECT_EQ(p.positional, c.positional);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ParseOptionsTest,
    ::testing::Values(ParseCase{{"a", "-o", "f", "b"}, "f", "(none)", false, {"a", "b"}},
                      ParseCase{{"--output=f", "--comment", ""}, "f", "", false, {}},
                      ParseCase{{"-of", "--json"}, "f", "(none)", true, {}},
                      ParseCase{{"-jo", "f"}, "f", "(none)", true, {}},
                      ParseCase{{"-o", "-", "-"}, "-", "(none)", false, {"-"}},
                      ParseCase{{"--output", "--json", "--", "--json"}, "--json", "(none)", false, {"--json"}},
                      ParseCase{{"-o", "a", "--output=b"}, "b", "(none)", false, {}}));

TEST(ParseOptions, RefusesUnknownOptionsAndMissingValues)
{
    for (const Args& bad :
         {Args{"--frob"}, Args{"-x"}, Args{"-o"}, Args{"--output="}, Args{"--json=1"}, Args{"a", "--key"}})
        EXPECT_THROW(ParseOptions(kSpecs, bad), UsageError) << bad.front();
}

TEST(ParseOptions, KeepsTheOrderOfOptionsAndArgumentsWhenAsked)
{
    using Pairs = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(InOrder(kSpecs, {"ab", "--key", "ENTER", "-jo", "x", "-oy", "--key=F1", "--", "--key"}),
              (Pairs{{"", "ab"},
                     {"key", "ENTER"},
                     {"json", ""},
                     {"output", "x"},
                     {"output", "y"},
                     {"key", "F1"},
                     {"", "--key"}}));
}

TEST(CliOptions, ReadsGlobalOptionsInBothFormsAndLeavesTheCommandItsArguments)
{
    CliOptions o = ParseCliOptions({"--cable", "parallel", "--port=2", "--timeout", "500", "-qv", "get", "a", "--x"});
    EXPECT_EQ(o.cable, CliCable::Parallel);
    EXPECT_EQ(o.port, 2);
    EXPECT_EQ(o.timeoutMs, 500);
    EXPECT_TRUE(o.quiet && o.verbose && o.cableGiven && o.portGiven);
    EXPECT_EQ(o.command, "get");
    EXPECT_EQ(o.args, (Args{"a", "--x"}));

    o = ParseCliOptions({"--port", "/dev/ttyUSB0", "--progress=lines", "ready"});
    EXPECT_EQ(o.device, "/dev/ttyUSB0");
    EXPECT_EQ(o.progress, ProgressStyle::Lines);
    o = ParseCliOptions({"--cable=parallel", "--port", "/dev/parport1", "ready"});
    EXPECT_EQ(o.port, 2);
    EXPECT_FALSE(ParseCliOptions({"ready"}).portGiven);
}

TEST(CliOptions, NamesEveryCableAndGivesEachButTheParallelOneADevice)
{
    struct Row {
        const char* name;
        CliCable cable;
        const char* port;
        const char* device;
    };
    for (const Row& r :
         {Row{"grey", CliCable::Serial, "/dev/ttyUSB1", "/dev/ttyUSB1"}, Row{"serial", CliCable::Serial, "3", ""},
          Row{"black", CliCable::Black, "/dev/ttyS1", "/dev/ttyS1"}, Row{"usb", CliCable::Usb, "usb:3:7", "usb:3:7"},
          Row{"parallel", CliCable::Parallel, "2", ""}}) {
        SCOPED_TRACE(r.name);
        CliOptions o = ParseCliOptions({"--cable", r.name, "--port", r.port, "ready"});
        EXPECT_EQ(o.cable, r.cable);
        EXPECT_EQ(o.device, r.device);
    }
}

TEST(CliOptions, RejectsBadValues)
{
    for (const Args& bad :
         {Args{"--cable", "purple", "ready"}, Args{"--cable", "usb", "--port", "9", "ready"},
          Args{"--port", "9", "ready"}, Args{"--cable", "parallel", "--port", "5", "ready"},
          Args{"--cable", "parallel", "--port", "/dev/ttyS0", "ready"}, Args{"--port", "0", "ready"},
          Args{"--timeout", "0", "ready"}, Args{"--timeout", "65536", "ready"}, Args{"--timeout", "2s", "ready"},
          Args{"--timeout"}, Args{"--port="}, Args{"--progress", "dots", "ready"}, Args{"--frobnicate", "ready"}})
        EXPECT_THROW(ParseCliOptions(bad), CliUsageError) << bad.front() << " " << (bad.size() > 1 ? bad[1] : "");
}

int RunCaptured(const Args& args, std::string* out = nullptr, std::string* err = nullptr)
{
    std::ostringstream o, e;
    int status = RunCli(args, o, e);
    if (out)
        *out = o.str();
    if (err)
        *err = e.str();
    return status;
}

TEST(CliRun, EveryCommandHasItsOwnHelpListingEveryOptionInBothForms)
{
    for (const CliCommand& c : CliCommandTable()) {
        std::string own, viaHelp, err;
        EXPECT_EQ(RunCaptured({c.name, "--help"}, &own, &err), 0) << c.name << err;
        EXPECT_EQ(own.rfind(std::string("Usage: linkwise-cli ") + c.name, 0), 0u) << own;
        EXPECT_EQ(RunCaptured({"help", c.name}, &viaHelp), 0);
        EXPECT_EQ(own, viaHelp);
        EXPECT_NE(own.find("64   a usage error"), std::string::npos) << c.name;
        for (const OptionSpec& o : c.options) {
            const std::string name = o.names.substr(o.names.rfind(',') + 1);
            EXPECT_NE(own.find("--" + name), std::string::npos) << c.name << " --" << name;
            // --opt=VALUE parses for every option: a parse error would not reach the help.
            const std::string form = "--" + name + (o.valueName.empty() ? "" : "=1");
            EXPECT_EQ(RunCaptured({c.name, form, "-h"}, nullptr, &err), 0) << c.name << " " << form << err;
        }
    }
}

TEST(CliRun, HelpAndVersionGoToStandardOutputAndSucceed)
{
    std::string out, err;
    EXPECT_EQ(RunCaptured({"--help"}, &out, &err), 0);
    EXPECT_EQ(out.rfind("Usage: linkwise-cli"), 0u);
    EXPECT_NE(out.find("help COMMAND"), std::string::npos);
    EXPECT_TRUE(err.empty());
    EXPECT_EQ(RunCaptured({"help"}, &err), 0);
    EXPECT_EQ(err, out);
    for (const Args& version : {Args{"-V"}, Args{"ls", "--version"}}) {
        EXPECT_EQ(RunCaptured(version, &out), 0);
        EXPECT_EQ(out.rfind("linkwise-cli (Linkwise) ", 0), 0u);
    }
}

TEST(CliRun, UsageErrorsExitWith64AndAHint)
{
    struct Case {
        Args args;
        std::string message;
    };
    for (const Case& c : std::vector<Case>{
             {{}, "linkwise-cli: no command given\nTry 'linkwise-cli --help'"},
             {{"dance"}, "linkwise-cli: unknown command 'dance'\nTry 'linkwise-cli --help'"},
             {{"help", "dance"}, "linkwise-cli: help: unknown command 'dance'"},
             {{"ready", "now"}, "linkwise-cli: ready: takes no arguments\nTry 'linkwise-cli help ready'"},
             {{"screenshot", "--scale=0", "-o", "x.png"}, "linkwise-cli: screenshot: scale '0'"},
             {{"get", "x", "--frob"}, "linkwise-cli: get: unknown option 'frob'"},
             {{"get", "x", "-o"}, "linkwise-cli: get: missing value after '-o'"},
             {{"send", "--libraries=maybe", "x.92p"},
              "linkwise-cli: send: --libraries takes yes, no or ask, not 'maybe'"},
         }) {
        std::string out, err;
        EXPECT_EQ(RunCaptured(c.args, &out, &err), 64) << err;
        EXPECT_EQ(err.rfind(c.message, 0), 0u) << err;
        EXPECT_TRUE(out.empty());
    }
}

TEST(ConsoleMessages, OneLineNamesWhatFailedAndWhyWithTheClassOnlyWhenVerbose)
{
    const std::string dialog = ErrorDialogText("saving the file", EFileError("Cannot write\rx.92t."));
    EXPECT_EQ(ConsoleDialogLine(dialog, false), "saving the file failed: Cannot write: x.92t.");
    EXPECT_EQ(ConsoleDialogLine(dialog, true), "saving the file failed: Cannot write: x.92t. [EFileError]");
    EXPECT_EQ(ConsoleErrorLine(ELinkError("Calculator is not ready!\r* Check the cable\r* Be sure"), false),
              "Calculator is not ready: Check the cable; Be sure");
    EXPECT_EQ(OneLine("plain"), "plain");
    EXPECT_EQ(WithoutErrorClass(" An error (EFileError) occured while saving x (EBook).", false),
              " An error occured while saving x (EBook).");
    EXPECT_EQ(WithoutErrorClass("aborted by an error (EDamagedReply).", true), "aborted by an error (EDamagedReply).");
}

// What the link's messages become on one line, class names only with -v.
TEST(ConsoleMessages, ClassNamesGoAndTimeoutsSayWhatDidNotHappen)
{
    struct Case {
        std::string line;
        bool verbose;
        std::string shown;
    };
    for (const Case& c : std::vector<Case>{
             {"Not received: main\\big: EFileError: Cannot write x.", false,
              "Not received: main\\big: Cannot write x."},
             {"Not received: main\\big: EFileError: Cannot write x.", true,
              "Not received: main\\big: EFileError: Cannot write x."},
             {"main\\a: not requested after the error: Eva: hi", false,
              "main\\a: not requested after the error: Eva: hi"},
         })
        EXPECT_EQ(WithoutErrorClass(c.line, c.verbose), c.shown) << c.line;
    for (const Case& c : std::vector<Case>{
             {"Timeout occured when sending byte.\r-1 bit was sent ok.", false,
              "the calculator did not take a byte in time."},
             {"Cause:\rTimeout occured when sending byte.\r3 bit was sent ok.", false,
              "Cause: the calculator stopped taking a byte after 3 of its 8 bits."},
             {"Timeout occured when receiving byte.", false, "Timeout occured when receiving byte."},
         })
        EXPECT_EQ(OneLine(c.line), c.shown) << c.line;
}

TEST(ConsoleMessages, LongValuesAreShownCut)
{
    struct Case {
        std::string value;
        size_t most;
        std::string shown;
    };
    for (const Case& c : std::vector<Case>{{"short", 60, "short"},
                                           {std::string(61, 'x'), 60, std::string(60, 'x') + "\u2026"},
                                           {"ab\xC3\xBC", 3, "ab\u2026"},
                                           {"ab\xC3\xBC", 4, "ab\xC3\xBC"}})
        EXPECT_EQ(ShortValue(c.value, c.most), c.shown) << c.value;

    // A damaged device in the settings: one short line, nothing opened.
    QTemporaryDir dir;
    const std::string ini = dir.path().toStdString() + "/linkwise.ini";
    std::ofstream(ini) << "[Settings]\nCabletype=1\nPort=0\nDevice%20of%20COM%20Port%201=/dev/"
                       << std::string(300000, 'x') << "\n";
    setenv("LINKWISE_SETTINGS", ini.c_str(), 1);
    const char* com1 = std::getenv("LINKWISE_COM1");
    const std::string savedCom1 = com1 ? com1 : "";
    unsetenv("LINKWISE_COM1");
    std::string err;
    EXPECT_EQ(RunCaptured({"ready"}, nullptr, &err), 2);
    unsetenv("LINKWISE_SETTINGS");
    if (com1)
        setenv("LINKWISE_COM1", savedCom1.c_str(), 1);
    EXPECT_EQ(err, "linkwise-cli: ready: The setting \"Device of COM Port 1\" is no device path (/dev/" +
                       std::string(55, 'x') +
                       "\u2026, 300005 bytes). Choose the device in the window's settings, or "
                       "give --port.\n");
}

TEST(CliRun, APortThatIsNoSerialLineIsRefusedAtOnceNamingWhatItIs)
{
    struct Case {
        std::string port, what;
    };
    for (const Case& c : std::vector<Case>{{"/dev/null", "/dev/null is a character device that is no serial line"},
                                           {"/etc/passwd", "/etc/passwd is a regular file, not a serial line"},
                                           {"/tmp", "/tmp is a folder, not a device"}}) {
        std::string out, err;
        EXPECT_EQ(RunCaptured({"--port", c.port, "ready"}, &out, &err), 2);
        EXPECT_EQ(err, "linkwise-cli: ready: " + c.what + "\n");
    }
}

TEST(ConsoleDialogs, PrintsMessagesOnOneLineAndAnswersWithoutAsking)
{
    std::ostringstream err;
    ConsoleDialogs dialogs(err, "linkwise-cli: get: ");
    EXPECT_EQ(dialogs.MessageBox("one\rtwo", "Linkwise", MsgIcon::Error, MsgButtons::Ok), MsgResult::Ok);
    EXPECT_EQ(dialogs.MessageBox("Send?", "Linkwise", MsgIcon::Question, MsgButtons::YesNo), MsgResult::Yes);
    EXPECT_EQ(err.str(), "linkwise-cli: get: one: two\nlinkwise-cli: get: Send?\n");
    EXPECT_EQ(dialogs.SaveFileName({"Save", "/tmp", "shot.bmp", "", "bmp"}), std::optional<std::string>("shot.bmp"));
    EXPECT_EQ(dialogs.OpenFileName({"Open", "/tmp", "", "", ""}), std::nullopt);
    EXPECT_EQ(dialogs.PromptComment("Group file"), "Group file");
}

}  // namespace
