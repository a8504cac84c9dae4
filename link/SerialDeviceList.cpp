#include "link/SerialDeviceList.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

bool Numbered(const std::string& name, const std::string& prefix)
{
    return name.size() > prefix.size() && name.rfind(prefix, 0) == 0 &&
           std::all_of(name.begin() + static_cast<long>(prefix.size()), name.end(),
                       [](unsigned char c) { return std::isdigit(c); });
}

// The kernel makes ttyS0..ttyS31 whether or not a UART answers; the port's
// type is 0 when none does.
bool HasUart(const std::string& ttyClassFolder, const std::string& name)
{
    std::ifstream type(ttyClassFolder + "/" + name + "/type");
    std::string value;
    return !(type >> value) || value != "0";
}

// ttyS2 before ttyS10.
bool NaturalLess(const std::string& pathA, const std::string& pathB)
{
    const std::string a = fs::path(pathA).filename().string(), b = fs::path(pathB).filename().string();
    const auto digits = [](const std::string& s) { return s.find_first_of("0123456789"); };
    const size_t da = digits(a), db = digits(b);
    if (da == std::string::npos || db == std::string::npos || a.compare(0, da, b, 0, db) != 0)
        return a < b;
    const std::string na = a.substr(da), nb = b.substr(db);
    return na.size() != nb.size() ? na.size() < nb.size() : na < nb;
}

}  // namespace

std::vector<std::string> PresentSerialDevices(const std::string& devFolder, const std::string& ttyClassFolder)
{
    std::vector<std::string> ports;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(devFolder, ec)) {
        const std::string name = entry.path().filename().string();
        if ((Numbered(name, "ttyS") && HasUart(ttyClassFolder, name)) || Numbered(name, "ttyUSB") ||
            Numbered(name, "ttyACM"))
            ports.push_back(entry.path().string());
    }
    std::sort(ports.begin(), ports.end(), NaturalLess);
    std::vector<std::string> stable;
    for (const auto& entry : fs::directory_iterator(devFolder + "/serial/by-id", ec))
        stable.push_back(entry.path().string());
    std::sort(stable.begin(), stable.end());
    ports.insert(ports.end(), stable.begin(), stable.end());
    return ports;
}
