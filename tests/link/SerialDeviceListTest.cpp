#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "link/SerialDeviceList.h"

namespace fs = std::filesystem;

TEST(SerialDeviceList, PortsWithAUartAdaptersThenStableNames)
{
    char folder[] = "/tmp/linkwise-devices-XXXXXX";
    ASSERT_TRUE(mkdtemp(folder));
    const fs::path dev = fs::path(folder) / "dev", tty = fs::path(folder) / "tty";
    fs::create_directories(dev / "serial/by-id");
    for (const char* name : {"ttyS0", "ttyS1", "ttyS2", "ttyS10", "ttyUSB0", "ttyACM1", "tty0", "ttySx"})
        std::ofstream(dev / name);
    std::ofstream(dev / "serial/by-id/usb-Maker_Cable-if00-port0");
    for (const auto& [name, type] : {std::pair{"ttyS0", "4"}, {"ttyS1", "0"}, {"ttyS10", "4"}}) {
        fs::create_directories(tty / name);
        std::ofstream(tty / name / "type") << type << "\n";
    }
    const std::string d = dev.string() + "/";
    EXPECT_EQ(PresentSerialDevices(dev.string(), tty.string()),
              (std::vector<std::string>{d + "ttyACM1", d + "ttyS0", d + "ttyS2", d + "ttyS10", d + "ttyUSB0",
                                        d + "serial/by-id/usb-Maker_Cable-if00-port0"}));
    fs::remove_all(folder);
}
