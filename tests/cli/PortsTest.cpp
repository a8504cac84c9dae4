// linkwise-cli ports on a laid-out /dev and /sys/class/tty with a fake
// device manager: devices once each, by-id names folded in, the one in use.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "app/cli/PortsCommand.h"

namespace {

namespace fs = std::filesystem;

struct FakeFacts : DeviceFacts {
    std::map<std::string, std::map<std::string, std::string>> known;
    std::map<std::string, std::string> Properties(const std::string& node) override { return known[node]; }
};

TEST(Ports, ListsEachDeviceWithWhatIsKnownAndMarksTheOneInUse)
{
    QTemporaryDir dir;
    const std::string dev = dir.path().toStdString() + "/dev", sys = dir.path().toStdString() + "/sys";
    fs::create_directories(dev + "/serial/by-id");
    for (const char* name : {"ttyS0", "ttyS1", "ttyUSB0", "ttyACM0", "null"})
        std::ofstream(dev + "/" + name) << "";
    for (const auto& [name, type] : {std::pair{"ttyS0", "4"}, std::pair{"ttyS1", "0"}}) {
        fs::create_directories(sys + "/" + name);
        std::ofstream(sys + "/" + name + "/type") << type << "\n";
    }
    fs::create_symlink("../../ttyUSB0", dev + "/serial/by-id/usb-FTDI_FT232R_A1-if00-port0");
    FakeFacts facts;
    facts.known[dev + "/ttyUSB0"] = {{"ID_VENDOR", "FTDI"},
                                     {"ID_MODEL_FROM_DATABASE", "FT232 Serial (UART) IC"},
                                     {"ID_MODEL", "FT232R_USB_UART"},
                                     {"ID_SERIAL_SHORT", "A1"},
                                     {"ID_USB_DRIVER", "ftdi_sio"}};
    facts.known[dev + "/ttyACM0"] = {{"DEVLINKS", "/dev/serial/by-path/x /dev/serial/by-id/usb-Acme_Link-if00"}};

    setenv("LINKWISE_SETTINGS", (dir.path() + "/none.ini").toStdString().c_str(), 1);
    // The devices LINKWISE_COMn names are listed too, once each.
    std::map<std::string, std::string> saved;
    for (int n = 1; n <= 8; ++n) {
        const std::string variable = "LINKWISE_COM" + std::to_string(n);
        if (const char* value = std::getenv(variable.c_str()))
            saved[variable] = value;
        unsetenv(variable.c_str());
    }
    setenv("LINKWISE_COM5", (dev + "/pty-link").c_str(), 1);
    setenv("LINKWISE_COM6", (dev + "/ttyS0").c_str(), 1);
    CliOptions options;
    options.command = "ports";
    options.device = dev + "/serial/by-id/usb-FTDI_FT232R_A1-if00-port0";
    std::ostringstream out, err;
    CliContext context(options, out, err);

    ASSERT_EQ(ListPorts(context, true, facts, dev, sys, {{3, 7}}), 0) << err.str();
    const QJsonArray ports = QJsonDocument::fromJson(QByteArray::fromStdString(out.str())).array();
    ASSERT_EQ(ports.size(), 5) << out.str();
    EXPECT_EQ(ports[4]["device"], "usb:3:7");
    EXPECT_EQ(ports[4]["usbBus"], 3);
    EXPECT_EQ(ports[4]["usbAddress"], 7);
    EXPECT_EQ(ports[3]["device"], QString::fromStdString(dev + "/pty-link"));
    EXPECT_EQ(ports[3]["variable"], "LINKWISE_COM5");
    EXPECT_EQ(ports[1]["device"], QString::fromStdString(dev + "/ttyS0"));
    EXPECT_EQ(ports[1]["byId"], QJsonValue::Null);
    EXPECT_EQ(ports[1]["inUse"], false);
    EXPECT_EQ(ports[2]["device"], QString::fromStdString(dev + "/ttyUSB0"));
    EXPECT_EQ(ports[2]["vendor"], "FTDI");
    EXPECT_EQ(ports[2]["model"], "FT232 Serial (UART) IC");
    EXPECT_EQ(ports[2]["serial"], "A1");
    EXPECT_EQ(ports[2]["driver"], "ftdi_sio");
    EXPECT_EQ(ports[2]["byId"], QString::fromStdString(dev + "/serial/by-id/usb-FTDI_FT232R_A1-if00-port0"));
    EXPECT_EQ(ports[2]["inUse"], true) << "the by-id name given leads to it";
    EXPECT_EQ(ports[0]["byId"], "/dev/serial/by-id/usb-Acme_Link-if00");

    out.str("");
    ASSERT_EQ(ListPorts(context, false, facts, dev, sys, {{3, 7}}), 0);
    EXPECT_NE(out.str().find("  usb:3:7  USB cable at bus 3 address 7 (/dev/bus/usb/003/007)\n"), std::string::npos)
        << out.str();
    EXPECT_NE(out.str().find("* " + dev + "/ttyUSB0  FTDI FT232 Serial (UART) IC (serial A1)  [ftdi_sio]\n    " + dev +
                             "/serial/by-id/usb-FTDI_FT232R_A1-if00-port0\n"),
              std::string::npos)
        << out.str();
    EXPECT_NE(out.str().find("  " + dev + "/pty-link  from LINKWISE_COM5\n"), std::string::npos) << out.str();
    unsetenv("LINKWISE_SETTINGS");
    unsetenv("LINKWISE_COM5");
    unsetenv("LINKWISE_COM6");
    for (const auto& [variable, value] : saved)
        setenv(variable.c_str(), value.c_str(), 1);
}

}  // namespace
