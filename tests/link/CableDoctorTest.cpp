// Finding the calculator: every verdict of every check, errors injected at
// the device seam, the virtual TI-92 answering and silent, and which devices
// the search may open at all.
#include "link/CableDoctor.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>

#include "link/DoctorCandidates.h"
#include "tests/support/AutoClock.h"
#include "tests/support/FakeDoctorSystem.h"
#include "tests/support/HookEventPump.h"
#include "tests/support/ScriptedDialogs.h"

namespace {

namespace fs = std::filesystem;

struct DoctorRig {
    DoctorReport Run(const std::vector<DoctorCandidate>& candidates)
    {
        CableDoctor doctor(system, clock, pump, dialogs);
        doctor.cancelled = cancelled;
        return doctor.Run(candidates);
    }
    AutoClock clock;
    HookEventPump pump;
    ScriptedDialogs dialogs;
    FakeDoctorSystem system;
    std::function<bool()> cancelled;
};

struct VerdictCase {
    const char* name;
    Cable cable;
    std::string device;
    bool present = true;
    FakeDoctorSystem::Device setup = {};
    bool silent = false;
    bool linesLow = false;         // calculator off: both wires held low
    const char* failedCheck = "";  // empty: the calculator answered
    const char* detail = "";
    const char* remedy = "";
    DoctorVerdict verdict = DoctorVerdict::Answered;
};

using Node = DoctorSystem::Node;
FakeDoctorSystem::Device Dev(int error, std::string group = "dialout", bool modemLines = true, std::string holder = "",
                             Node node = Node::CharDevice)
{
    return {node, error, modemLines, group, holder};
}

const VerdictCase kVerdicts[] = {
    {"GreyAnswers", Cable::Grey, "/dev/ttyUSB0"},
    {"BlackAnswers", Cable::Black, "/dev/ttyUSB0"},
    {"UsbAnswers", Cable::Usb, "usb:3:7"},
    {"ParallelAnswers", Cable::Parallel, "/dev/parport0"},
    {"Missing",
     Cable::Grey,
     "/dev/ttyUSB3",
     false,
     {},
     false,
     false,
     "present",
     "/dev/ttyUSB3 does not exist",
     "Is the adapter plugged in?",
     DoctorVerdict::NoDevice},
    {"NodeWithoutDevice", Cable::Grey, "/dev/ttyS3", true, Dev(ENXIO), false, false, "present", "no device answers",
     "linkwise-cli ports", DoctorVerdict::NoDevice},
    {"UsbCableUnplugged",
     Cable::Usb,
     "usb",
     false,
     {},
     false,
     false,
     "present",
     "no USB cable (0451:e001) is plugged in",
     "0451:e001",
     DoctorVerdict::NoDevice},
    {"ParallelWithoutDriver", Cable::Parallel, "/dev/parport1", true, Dev(ENODEV), false, false, "present", "",
     "sudo modprobe ppdev", DoctorVerdict::NoDevice},
    {"RegularFile", Cable::Grey, "/tmp/x", true, Dev(0, "", true, "", Node::Other), false, false, "kind",
     "/tmp/x is not a serial line but a file", "linkwise-cli ports", DoctorVerdict::NoDevice},
    {"NotATty", Cable::Grey, "/dev/null", true, Dev(ENOTTY), false, false, "kind", "/dev/null is not a serial line", "",
     DoctorVerdict::NoDevice},
    {"NotAParallelPort", Cable::Parallel, "/dev/null", true, Dev(ENOTTY), false, false, "kind",
     "/dev/null is not a parallel port", "ppdev", DoctorVerdict::NoDevice},
    {"NoPermission", Cable::Grey, "/dev/ttyUSB0", true, Dev(EACCES, "uucp"), false, false, "access",
     "permission denied (the device's group is uucp)", "sudo usermod -aG uucp \"$USER\", then log out and in",
     DoctorVerdict::NoDevice},
    {"UsbNoPermission", Cable::Usb, "usb:3:7", true, Dev(EACCES), false, false, "access", "permission denied",
     "udevadm control --reload-rules", DoctorVerdict::NoDevice},
    {"ParallelNoPermission", Cable::Parallel, "/dev/parport0", true, Dev(EACCES, "lp"), false, false, "access", "",
     "sudo usermod -aG lp", DoctorVerdict::NoDevice},
    {"LockedByAnother", Cable::Grey, "/dev/ttyUSB0", true, Dev(EBUSY, ""), false, false, "free",
     "/dev/ttyUSB0 is in use by another program", "Close that program", DoctorVerdict::NoDevice},
    {"HeldByMinicom", Cable::Black, "/dev/ttyUSB0", true, Dev(0, "dialout", true, "minicom (process 4242)"), false,
     false, "free", "in use by minicom (process 4242)", "Close that program", DoctorVerdict::NoDevice},
    {"NoModemLines", Cable::Black, "/dev/ttyUSB0", true, Dev(0, "dialout", false), false, false, "modem lines",
     "this adapter cannot drive a black cable", "grey cable", DoctorVerdict::NoDevice},
    {"BlackCalculatorOff",
     Cable::Black,
     "/dev/ttyUSB0",
     true,
     {},
     false,
     true,
     "at rest",
     "the calculator is off or the cable is not plugged into it",
     "Turn the calculator on",
     DoctorVerdict::NoAnswer},
    {"GreySilent",
     Cable::Grey,
     "/dev/ttyUSB0",
     true,
     {},
     true,
     false,
     "ready",
     "no answer",
     "not one made for the black cable only",
     DoctorVerdict::NoAnswer},
    {"UsbSilent",
     Cable::Usb,
     "usb:3:7",
     true,
     {},
     true,
     false,
     "ready",
     "",
     "go to the home screen",
     DoctorVerdict::NoAnswer},
};

void PrintTo(const VerdictCase& v, std::ostream* os)
{
    *os << v.name;
}

class DoctorVerdicts : public ::testing::TestWithParam<VerdictCase> {};

TEST_P(DoctorVerdicts, EachCheckGivesItsVerdictAndRemedy)
{
    const VerdictCase& v = GetParam();
    DoctorRig rig;
    if (v.present)
        rig.system.devices[v.device] = v.setup;
    rig.system.calcLink.faults.silent = v.silent;
    rig.system.bitCable.holdLinesLow = v.linesLow;
    const DoctorReport report = rig.Run({{v.device, "", v.cable, ""}});

    ASSERT_EQ(report.rows.size(), 1u);
    const DoctorRow& row = report.rows[0];
    EXPECT_EQ(report.verdict, v.verdict) << report.VerdictLine();
    const DoctorCheck& last = row.Last();
    if (!*v.failedCheck) {
        EXPECT_TRUE(row.answered) << last.name << ": " << last.detail;
        EXPECT_TRUE(last.ok);
        EXPECT_EQ(last.name, "ready");
        EXPECT_NE(report.VerdictLine().find("Calculator found"), std::string::npos);
        return;
    }
    EXPECT_FALSE(row.answered);
    EXPECT_FALSE(last.ok);
    EXPECT_EQ(last.name, v.failedCheck) << last.detail;
    EXPECT_NE(last.detail.find(v.detail), std::string::npos) << last.detail;
    EXPECT_NE(last.remedy.find(v.remedy), std::string::npos) << last.remedy;
    // Every check before the failed one passed; a usable device reached the calculator's checks.
    for (size_t i = 0; i + 1 < row.checks.size(); ++i)
        EXPECT_TRUE(row.checks[i].ok) << row.checks[i].name;
    EXPECT_EQ(row.usable, v.verdict == DoctorVerdict::NoAnswer);
    // A device another program holds is not even opened.
    if (!v.setup.holder.empty()) {
        EXPECT_TRUE(rig.system.opened.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Cables, DoctorVerdicts, ::testing::ValuesIn(kVerdicts),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CableDoctor, OnlyTheReadyPacketIsSentAndTheSearchStopsAtTheFirstAnswer)
{
    DoctorRig rig;
    for (const char* d : {"/dev/ttyUSB0", "/dev/ttyUSB1"})
        rig.system.devices[d] = {};
    std::vector<std::string> packets;
    rig.system.calcLink.onPacket = [&](const SimPacket& p) { packets.push_back(std::to_string(p.cmd)); };
    const DoctorReport report = rig.Run({{"/dev/ttyUSB0", "", Cable::Grey, ""}, {"/dev/ttyUSB1", "", Cable::Grey, ""}});
    EXPECT_EQ(report.verdict, DoctorVerdict::Answered);
    EXPECT_EQ(report.rows.size(), 1u);
    EXPECT_EQ(packets, std::vector<std::string>{std::to_string(Cmd::RDY)});
}

TEST(CableDoctor, CancelEndsTheSearchBetweenCandidatesAndDuringTheReadyCheck)
{
    DoctorRig rig;
    rig.system.devices["/dev/ttyUSB0"] = {};
    rig.system.calcLink.faults.silent = true;
    bool cancel = false;
    rig.cancelled = [&] { return cancel; };
    rig.pump.hook = [&] { cancel = true; };
    const DoctorReport report =
        rig.Run({{"/dev/ttyUSB0", "", Cable::Grey, ""}, {"/dev/ttyUSB0", "", Cable::Black, ""}});
    EXPECT_EQ(report.verdict, DoctorVerdict::Cancelled);
    ASSERT_EQ(report.rows.size(), 1u);
    EXPECT_EQ(report.rows[0].Last().detail, "cancelled");
    EXPECT_EQ(rig.system.opened, std::vector<std::string>(2, "/dev/ttyUSB0")) << "the black cable was not tried";
}

// The laid-out machine of the `ports` tests: on-board ports, two adapters
// (one held by another program), a board on ttyACM0, a USB cable and a
// parallel port.
struct LaidOutMachine : DoctorRig {
    LaidOutMachine()
    {
        dev = dir.path().toStdString() + "/dev";
        const std::string sys = dir.path().toStdString() + "/sys";
        fs::create_directories(dev + "/serial/by-id");
        for (const char* name : {"ttyS0", "ttyS1", "ttyUSB0", "ttyUSB1", "ttyACM0"}) {
            std::ofstream(dev + "/" + name) << "";
            system.devices[dev + "/" + name] = {};
        }
        fs::create_directories(sys + "/ttyS0");
        std::ofstream(sys + "/ttyS0/type") << "4\n";
        fs::create_symlink("../../ttyUSB0", dev + "/serial/by-id/usb-FTDI_FT232R_A1-if00-port0");
        system.devFolder = dev;
        system.ttyClassFolder = sys;
        system.facts.known[dev + "/ttyUSB0"] = {{"ID_VENDOR", "FTDI"}, {"ID_USB_DRIVER", "ftdi_sio"}};
        system.facts.known[dev + "/ttyUSB1"] = {{"ID_VENDOR", "QinHeng"}, {"ID_USB_DRIVER", "ch341"}};
        system.facts.known[dev + "/ttyACM0"] = {{"ID_USB_DRIVER", "cdc_acm"}};
        system.devices[dev + "/ttyUSB1"].holder = "minicom (process 4242)";
        system.usbCables = {{3, 7}};
        system.devices["usb:3:7"] = {};
        system.parallelPorts = {"/dev/parport0"};
        system.devices["/dev/parport0"] = {};
        system.calcLink.faults.silent = true;
    }
    std::vector<std::string> Devices(const std::vector<DoctorCandidate>& list)
    {
        std::vector<std::string> devices;
        for (const DoctorCandidate& c : list)
            devices.push_back(c.device.substr(c.device.rfind('/') + 1) + ":" + DoctorCableName(c.cable));
        return devices;
    }
    QTemporaryDir dir;
    std::string dev;
};

TEST(DoctorCandidates, OnlyLikelyLinkCablesAreTriedAndNoOtherDeviceIsOpened)
{
    LaidOutMachine m;
    const std::vector<DoctorCandidate> candidates = DoctorCandidates({}, m.system);
    EXPECT_EQ(m.Devices(candidates), (std::vector<std::string>{"ttyUSB0:grey", "ttyUSB0:black", "ttyUSB1:grey",
                                                               "ttyUSB1:black", "usb:3:7:usb", "parport0:parallel"}));
    EXPECT_EQ(candidates[0].byId, m.dev + "/serial/by-id/usb-FTDI_FT232R_A1-if00-port0");
    EXPECT_EQ(candidates[0].description, "FTDI [ftdi_sio]");

    const DoctorReport report = m.Run(candidates);
    EXPECT_EQ(report.verdict, DoctorVerdict::NoAnswer);
    EXPECT_EQ(report.rows.size(), candidates.size() - 1) << "the held adapter is not tried again with the black cable";
    std::vector<std::string> allowed;
    for (const DoctorCandidate& c : candidates)
        allowed.push_back(c.device);
    for (const std::string& opened : m.system.opened) {
        EXPECT_NE(std::find(allowed.begin(), allowed.end(), opened), allowed.end()) << opened;
        EXPECT_EQ(opened.find("ttyUSB1"), std::string::npos) << "held by another program";
    }
    EXPECT_EQ(report.rows[2].Last().detail, m.dev + "/ttyUSB1 is in use by minicom (process 4242)");
}

TEST(DoctorCandidates, TheSettingsDeviceComesFirstAndANamedDeviceOrCableNarrowsTheSearch)
{
    LaidOutMachine m;
    DoctorRequest settings;
    settings.settingsDevice = m.dev + "/ttyS0";
    settings.settingsCable = Cable::Black;
    EXPECT_EQ(m.Devices(DoctorCandidates(settings, m.system)),
              (std::vector<std::string>{"ttyS0:black", "ttyUSB0:black", "ttyUSB0:grey", "ttyUSB1:black", "ttyUSB1:grey",
                                        "usb:3:7:usb", "parport0:parallel"}));

    DoctorRequest usbOnly;
    usbOnly.cable = Cable::Usb;
    EXPECT_EQ(m.Devices(DoctorCandidates(usbOnly, m.system)), std::vector<std::string>{"usb:3:7:usb"});
    m.system.usbCables.clear();
    EXPECT_EQ(m.Devices(DoctorCandidates(usbOnly, m.system)), std::vector<std::string>{"usb:usb"});

    DoctorRequest named;
    named.device = m.dev + "/ttyACM0";  // the user's own choice is tried, even a ttyACM device
    EXPECT_EQ(m.Devices(DoctorCandidates(named, m.system)),
              (std::vector<std::string>{"ttyACM0:grey", "ttyACM0:black"}));
    named.cable = Cable::Black;
    EXPECT_EQ(m.Devices(DoctorCandidates(named, m.system)), std::vector<std::string>{"ttyACM0:black"});
}

}  // namespace
