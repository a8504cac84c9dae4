// Reads TI-92 variable files (single-variable, group and backup files) into
// the virtual calculator. Every field is checked against the file's length.
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <utility>
#include <vector>

#include "sim/VirtualTI92.h"

namespace {

constexpr uint8_t kFolderType = 0x1F;
constexpr uint8_t kBackupType = 0x1D;

class Bytes {
public:
    Bytes(const std::string& b, const std::string& file) : fB(b), fFile(file) {}
    size_t Size() const { return fB.size(); }
    void Need(size_t offset, size_t count, const char* what) const
    {
        if (offset > fB.size() || count > fB.size() - offset)
            throw std::runtime_error(fFile + ": the file ends inside the " + what + ".");
    }
    uint8_t U8(size_t o) const
    {
        Need(o, 1, "entry table");
        return static_cast<uint8_t>(fB[o]);
    }
    uint32_t U32LE(size_t o, const char* what) const
    {
        Need(o, 4, what);
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= static_cast<uint32_t>(static_cast<uint8_t>(fB[o + i])) << (8 * i);
        return v;
    }
    std::string Text(size_t o, size_t max) const
    {
        Need(o, max, "entry table");
        std::string s = fB.substr(o, max);
        return s.substr(0, s.find('\0'));
    }
    std::string Sub(size_t o, size_t n, const char* what) const
    {
        Need(o, n, what);
        return fB.substr(o, n);
    }
    const std::string& File() const { return fFile; }

private:
    const std::string& fB;
    const std::string& fFile;
};

// One row of the entry table.
struct TableEntry {
    uint32_t start = 0;
    uint32_t end = 0;  // where the next entry's data part starts
    std::string name;
    uint8_t type = 0;
};

TableEntry ReadTableEntry(const Bytes& f, size_t k)
{
    const size_t slot = 60 + 16 * k;
    return {f.U32LE(slot, "entry table"), f.U32LE(slot + 16, "entry table"), f.Text(slot + 4, 8), f.U8(slot + 12)};
}

// Variable data part: zero prefix, big-endian size word, data, checksum.
// The size word rules; the table's end offset is only checked for sense.
SimVariable ReadVariablePart(const Bytes& f, const TableEntry& e)
{
    f.Need(e.start, 6, "data of a variable");
    const std::string sizeWord = f.Sub(e.start + 4, 2, "data of a variable");
    const size_t size = (static_cast<uint8_t>(sizeWord[0]) << 8) | static_cast<uint8_t>(sizeWord[1]);
    if (e.end < e.start)
        throw std::runtime_error(f.File() + ": the entry table is damaged.");
    if (size > SimVariable::kMaxDataBytes)
        throw std::runtime_error(f.File() + ": " + e.name + " is too large for the calculator.");
    SimVariable v;
    v.name = e.name;
    v.type = e.type;
    v.bytes = f.Sub(e.start + 4, size + 2, "data of a variable");
    return v;
}

}  // namespace

void VirtualTI92::LoadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error(path + ": the file cannot be opened.");
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LoadFileBytes(bytes, path);
}

void VirtualTI92::LoadFileBytes(const std::string& raw, const std::string& fileName)
{
    Bytes f(raw, fileName);
    if (raw.size() <= 52 || raw.compare(0, 8, "**TI92**") != 0)
        throw std::runtime_error(fileName + ": not a TI-92 variable file.");
    f.Need(0, 60, "file header");
    const size_t count = f.U8(58);
    f.Need(60, 16 * count + 6, "entry table");

    // Everything is read first and applied at the end, so a damaged file
    // leaves the calculator as it was.
    std::vector<std::pair<std::string, SimVariable>> variables;
    std::string image, version;
    bool hasImage = false;
    std::string folder;
    if (count == 1)
        folder = f.Text(10, 8);
    if (folder.empty())
        folder = "main";

    for (size_t k = 0; k < count; ++k) {
        const TableEntry e = ReadTableEntry(f, k);
        if (e.type == kFolderType) {
            folder = e.name.empty() ? "main" : e.name;
            continue;
        }
        if (e.type == kBackupType) {
            // The image runs from the data part to the file checksum.
            if (raw.size() < 84 || e.start > raw.size() - 2)
                throw std::runtime_error(fileName + ": the backup image is cut short.");
            version = e.name;
            image = raw.substr(e.start, raw.size() - 2 - e.start);
            hasImage = true;
            continue;
        }
        variables.emplace_back(folder, ReadVariablePart(f, e));
    }

    if (hasImage) {
        if (!version.empty())
            romVersion = version;
        InstallMemoryImage(image);
    }
    for (const auto& [where, v] : variables)
        PutVariable(where, v);
}
