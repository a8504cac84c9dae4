#include "sim/VirtualTI92.h"

#include <cctype>
#include <stdexcept>

#include "sim/SimPacket.h"

SimVariable SimVariable::FromData(const std::string& name, uint8_t type, const std::string& data)
{
    // Zero prefix, size word and data must fit one packet's 16-bit length.
    if (data.size() > kMaxDataBytes)
        throw std::invalid_argument("variable " + name + " is larger than 65529 bytes");
    SimVariable v;
    v.name = name.substr(0, 8);
    v.type = type;
    v.bytes += static_cast<char>(data.size() >> 8);
    v.bytes += static_cast<char>(data.size() & 0xFF);
    v.bytes += data;
    return v;
}

VirtualTI92::VirtualTI92() : screen(kScreenBytes, '\0')
{
    folders.push_back(SimFolder{"main", {}});
}

VirtualTI92 VirtualTI92::WithDemoContent()
{
    VirtualTI92 calc;
    calc.LoadDemoContent();
    return calc;
}

void VirtualTI92::Clear()
{
    folders.clear();
    folders.push_back(SimFolder{"main", {}});
    currentFolder = "main";
    fInstalledImage.clear();
}

SimFolder& VirtualTI92::Folder(const std::string& fullName)
{
    const std::string name = fullName.substr(0, 8);
    for (auto& f : folders)
        if (f.name == name)
            return f;
    folders.push_back(SimFolder{name, {}});
    return folders.back();
}

const SimFolder* VirtualTI92::FindFolder(const std::string& name) const
{
    for (const auto& f : folders)
        if (f.name == name)
            return &f;
    return nullptr;
}

SimVariable& VirtualTI92::AddVariable(const std::string& folder, const std::string& name, uint8_t type,
                                      const std::string& data)
{
    return PutVariable(folder, SimVariable::FromData(name, type, data));
}

SimVariable& VirtualTI92::PutVariable(const std::string& folder, const SimVariable& v)
{
    SimFolder& f = Folder(folder.empty() ? currentFolder : folder);
    for (auto& existing : f.variables)
        if (existing.name == v.name) {
            existing = v;
            return existing;
        }
    f.variables.push_back(v);
    return f.variables.back();
}

void VirtualTI92::SplitName(const std::string& fullName, std::string& folder, std::string& name) const
{
    size_t slash = fullName.find('\\');
    if (slash == std::string::npos) {
        folder = currentFolder;
        name = fullName;
        return;
    }
    folder = fullName.substr(0, slash);
    if (folder.empty())
        folder = currentFolder;
    name = fullName.substr(slash + 1);
}

const SimVariable* VirtualTI92::FindVariable(const std::string& fullName) const
{
    std::string folder, name;
    SplitName(fullName, folder, name);
    const SimFolder* f = FindFolder(folder);
    if (!f)
        return nullptr;
    for (const auto& v : f->variables)
        if (v.name == name)
            return &v;
    return nullptr;
}

size_t VirtualTI92::MemoryUsed() const
{
    size_t used = 0;
    for (const auto& f : folders)
        for (const auto& v : f.variables)
            used += v.Size();
    return used;
}

bool VirtualTI92::Fits(const std::string& fullName, size_t size) const
{
    const SimVariable* old = FindVariable(fullName);
    const size_t freed = old ? old->Size() : 0;
    return MemoryUsed() - freed + size <= memoryCapacity;
}

bool VirtualTI92::ValidName(const std::string& fullName)
{
    auto valid = [](const std::string& part) {
        if (part.empty() || part.size() > 8 || (part[0] >= '0' && part[0] <= '9'))
            return false;
        for (char ch : part) {
            const auto c = static_cast<unsigned char>(ch);
            if (!(std::isalnum(c) || c == '_' || c >= 0x80))
                return false;
        }
        return true;
    };
    const size_t slash = fullName.find('\\');
    if (slash == std::string::npos)
        return valid(fullName);
    const std::string folder = fullName.substr(0, slash);
    return (folder.empty() || valid(folder)) && valid(fullName.substr(slash + 1));
}

size_t VirtualTI92::VariableCount() const
{
    size_t n = 0;
    for (const auto& f : folders)
        n += f.variables.size();
    return n;
}

void VirtualTI92::SetPixel(int x, int y, bool black)
{
    if (x < 0 || y < 0 || x >= kScreenWidth || y >= kScreenHeight)
        return;
    char& byte = screen[static_cast<size_t>(y * (kScreenWidth / 8) + x / 8)];
    const char mask = static_cast<char>(0x80 >> (x % 8));
    byte = static_cast<char>(black ? (byte | mask) : (byte & ~mask));
}

bool VirtualTI92::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= kScreenWidth || y >= kScreenHeight)
        return false;
    return (static_cast<unsigned char>(screen[static_cast<size_t>(y * (kScreenWidth / 8) + x / 8)]) &
            (0x80 >> (x % 8))) != 0;
}

void VirtualTI92::ClearScreen()
{
    screen.assign(kScreenBytes, '\0');
}

void VirtualTI92::PressKey(uint16_t code)
{
    keysPressed.push_back(code);
    home.Press(code, *this);
    home.Draw(*this);
}
