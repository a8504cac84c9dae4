// linkwise-cli doctor: its table, JSON and exit status over the in-memory
// machine, then for real against the virtual TI-92 on a pseudo-terminal,
// where --save makes a plain `ready` find the calculator.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <cstdlib>
#include <sstream>

#include "app/cli/DoctorCommand.h"
#include "tests/support/AutoClock.h"
#include "tests/support/FakeDoctorSystem.h"
#include "tests/support/ProgramProcess.h"

namespace {

struct DoctorCase {
    const char* name;
    bool present;
    bool silent;
    int status;
    const char* table;  // a line of the table
    const char* verdict;
};

class DoctorCommand : public ::testing::TestWithParam<DoctorCase> {};

TEST_P(DoctorCommand, PrintsTheRowsAndTheVerdictAndExitsByIt)
{
    const DoctorCase& c = GetParam();
    QTemporaryDir dir;
    setenv("LINKWISE_SETTINGS", (dir.path() + "/linkwise.ini").toStdString().c_str(), 1);
    FakeDoctorSystem system;
    if (c.present)
        system.devices["/dev/ttyUSB0"] = {};
    system.calcLink.faults.silent = c.silent;
    AutoClock clock;
    CliOptions options;
    options.command = "doctor";
    options.device = "/dev/ttyUSB0";
    options.portGiven = options.cableGiven = true;
    std::ostringstream out, err;
    CliContext context(options, out, err);

    EXPECT_EQ(FindCalculator(context, false, false, system, clock), c.status) << err.str();
    EXPECT_NE(out.str().find(c.table), std::string::npos) << out.str();
    EXPECT_NE(out.str().find(std::string(c.verdict) + "\n"), std::string::npos) << out.str();

    out.str("");
    EXPECT_EQ(FindCalculator(context, true, false, system, clock), c.status);
    const QJsonArray rows = QJsonDocument::fromJson(QByteArray::fromStdString(out.str())).array();
    ASSERT_EQ(rows.size(), 1) << out.str();
    EXPECT_EQ(rows[0]["device"], "/dev/ttyUSB0");
    EXPECT_EQ(rows[0]["byId"], QJsonValue::Null);
    EXPECT_EQ(rows[0]["cable"], "grey");
    EXPECT_EQ(rows[0]["answered"], c.status == 0);
    const QJsonArray checks = rows[0]["checks"].toArray();
    const QJsonObject last = checks.last().toObject();
    EXPECT_EQ(last["name"], c.present ? "ready" : "present");
    EXPECT_EQ(last["ok"], c.status == 0);
    EXPECT_EQ(last["remedy"].toString().isEmpty(), c.status == 0);
    EXPECT_NE(err.str().find(c.verdict), std::string::npos) << "the verdict goes to standard error with --json";
    unsetenv("LINKWISE_SETTINGS");
}

INSTANTIATE_TEST_SUITE_P(
    Verdicts, DoctorCommand,
    ::testing::Values(DoctorCase{"Found", true, false, 0,
                                 "/dev/ttyUSB0  grey      the calculator answered the ready check\n",
                                 "Calculator found: it answered on /dev/ttyUSB0 through the grey cable."},
                      DoctorCase{"Silent", true, true, 1, "-> Turn the calculator on and go to the home screen",
                                 "No calculator answered, though a usable device was found: see what to do above."},
                      DoctorCase{"Missing", false, false, 2, "/dev/ttyUSB0 does not exist\n",
                                 "No usable device was found: see what to do above."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DoctorOnPty, SaveMakesAPlainReadyFindTheCalculator)
{
    VirtualCalculatorProcess calculator(LINKWISE_SIM_PATH);
    ASSERT_FALSE(calculator.link.empty());
    QTemporaryDir dir;
    const std::string settings = "LINKWISE_SETTINGS=" + (dir.path() + "/linkwise.ini").toStdString();

    ProgramOutcome notATty =
        RunProgram({LINKWISE_CLI_PATH, "--port", "/dev/null", "--cable", "grey", "doctor"}, {settings});
    EXPECT_EQ(notATty.status, 2);
    EXPECT_NE(notATty.out.find("/dev/null is not a serial line"), std::string::npos) << notATty.out;

    ProgramOutcome doctor =
        RunProgram({LINKWISE_CLI_PATH, "--port", calculator.link, "--cable", "grey", "doctor", "--save"}, {settings});
    EXPECT_EQ(doctor.status, 0) << doctor.out << doctor.err;
    EXPECT_NE(doctor.err.find("saved: the grey cable on " + calculator.link), std::string::npos) << doctor.err;

    // Other tests in this process leave a device for port 1 in the environment.
    ProgramOutcome ready = RunProgram({LINKWISE_CLI_PATH, "ready"}, {settings, "LINKWISE_COM1="});
    EXPECT_EQ(ready.status, 0) << ready.err;
    EXPECT_EQ(ready.out, "Calculator is ready.\n");
}

}  // namespace
