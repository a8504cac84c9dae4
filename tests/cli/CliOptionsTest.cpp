#include <gtest/gtest.h>

#include <sstream>

#include "app/cli/CliCommands.h"
#include "app/cli/ConsoleDialogs.h"

namespace {

using Args = std::vector<std::string>;

TEST(CliOptions, DefaultsToTheSerialCableOnPortOne)
{
    CliOptions o = ParseCliOptions({"ready"});
    EXPECT_EQ(o.cable, CliCable::Serial);
    EXPECT_EQ(o.port, 1);
    EXPECT_EQ(o.timeoutMs, 2000);
    EXPECT_EQ(o.command, "ready");
    EXPECT_TRUE(o.args.empty());
}

TEST(CliOptions, ReadsGlobalOptionsInBothFormsAndLeavesTheCommandItsArguments)
{
    CliOptions o = ParseCliOptions({"--cable", "parallel", "--port=2", "--timeout", "500", "get", "a", "--x"});
    EXPECT_EQ(o.cable, CliCable::Parallel);
    EXPECT_EQ(o.port, 2);
    EXPECT_EQ(o.timeoutMs, 500);
    EXPECT_EQ(o.command, "get");
    EXPECT_EQ(o.args, (Args{"a", "--x"}));

    o = ParseCliOptions({"--port", "/dev/ttyUSB0", "ready"});
    EXPECT_EQ(o.device, "/dev/ttyUSB0");
    EXPECT_EQ(o.port, 1);
    o = ParseCliOptions({"--port", "8", "--cable=serial", "ready"});
    EXPECT_EQ(o.port, 8);
    EXPECT_TRUE(o.device.empty());
}

TEST(CliOptions, RejectsBadValues)
{
    for (const Args& bad : {Args{"--cable", "usb", "ready"}, Args{"--port", "9", "ready"},
                            Args{"--cable", "parallel", "--port", "5", "ready"},
                            Args{"--cable", "parallel", "--port", "/dev/parport0", "ready"},
                            Args{"--port", "0", "ready"}, Args{"--timeout", "0", "ready"},
                            Args{"--timeout", "65536", "ready"}, Args{"--timeout", "-5", "ready"},
                            Args{"--timeout", "2s", "ready"}, Args{"--timeout"}, Args{"--port="},
                            Args{"--frobnicate", "ready"}})
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

TEST(CliRun, HelpAndVersionGoToStandardOutputAndSucceed)
{
    std::string out, err;
    EXPECT_EQ(RunCaptured({"--help"}, &out, &err), 0);
    EXPECT_NE(out.find("Usage: linkwise-cli"), std::string::npos);
    EXPECT_NE(out.find("ready"), std::string::npos);
    EXPECT_TRUE(err.empty());
    EXPECT_EQ(RunCaptured({"ready", "--help"}, &out), 0);
    EXPECT_EQ(RunCaptured({"-V"}, &out), 0);
    EXPECT_EQ(out.rfind("linkwise-cli (Linkwise) ", 0), 0u);
}

TEST(CliRun, UsageErrorsExitWithTwoAndAHint)
{
    std::string err;
    EXPECT_EQ(RunCaptured({}, nullptr, &err), 2);
    EXPECT_NE(err.find("no command"), std::string::npos);
    EXPECT_EQ(RunCaptured({"dance"}, nullptr, &err), 2);
    EXPECT_NE(err.find("unknown command 'dance'"), std::string::npos);
    EXPECT_NE(err.find("--help"), std::string::npos);
    EXPECT_EQ(RunCaptured({"ready", "now"}, nullptr, &err), 2);
}

TEST(CliRun, AMissingSerialDeviceIsALinkErrorAtOnce)
{
    std::string out, err;
    EXPECT_EQ(RunCaptured({"--port", "/nonexistent/linkwise-tty", "ready"}, &out, &err), 2);
    EXPECT_EQ(err.rfind("ELinkError: An error occured while opening the comport!\n", 0), 0u) << err;
    EXPECT_NE(err.find("/nonexistent/linkwise-tty"), std::string::npos);
    EXPECT_TRUE(out.empty());
}

TEST(ConsoleDialogs, PrintsMessagesWithLineBreaksAndAnswersWithoutAsking)
{
    std::ostringstream err;
    ConsoleDialogs dialogs(err);
    EXPECT_EQ(dialogs.MessageBox("one\rtwo", "Linkwise", MsgIcon::Error, MsgButtons::Ok), MsgResult::Ok);
    EXPECT_EQ(dialogs.MessageBox("Send?", "Linkwise", MsgIcon::Question, MsgButtons::YesNo), MsgResult::Yes);
    EXPECT_EQ(err.str(), "linkwise-cli: error: one\ntwo\nlinkwise-cli: Send?\n");
    EXPECT_EQ(dialogs.SaveFileName({"Save", "/tmp", "shot.bmp", "", "bmp"}), std::optional<std::string>("shot.bmp"));
    EXPECT_EQ(dialogs.OpenFileName({"Open", "/tmp", "", "", ""}), std::nullopt);
    EXPECT_EQ(dialogs.PromptComment("Group file"), "Group file");
}

}  // namespace
