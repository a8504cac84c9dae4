#include "tests/support/TI92FileBuilder.h"

#include <fstream>
#include <stdexcept>

namespace {
std::string Le32(uint32_t v)
{
    return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}
std::string Be16(size_t v)
{
    return {char(v >> 8), char(v)};
}
std::string Pad(const std::string& s, size_t n)
{
    return s.substr(0, n) + std::string(n - std::min(n, s.size()), '\0');
}
// Data laid out from the first data byte: Put(d, offset, bytes) with the
// offset counted from there.
void Put(std::string& d, size_t at, const std::string& bytes)
{
    if (d.size() < at + bytes.size())
        d.resize(at + bytes.size(), '\x11');
    d.replace(at, bytes.size(), bytes);
}
std::string Names(const std::vector<std::string>& names)
{
    std::string out;
    for (const std::string& n : names)
        out += n + '\0';
    return out;
}
}  // namespace

std::string VariableFileBytes(const std::string& defaultFolder, const std::string& comment,
                              const std::vector<BuiltEntry>& entries)
{
    const size_t n = entries.size();
    std::string f = "**TI92**" + std::string("\x01\x00", 2) + Pad(defaultFolder, 8) + Pad(comment, 40) + char(n) + '\0';
    uint32_t offset = static_cast<uint32_t>(66 + 16 * n);
    std::string table, parts;
    table += Le32(offset);
    for (const BuiltEntry& e : entries) {
        if (e.type != 0x1F) {
            std::string sized = Be16(e.data.size()) + e.data;
            uint32_t sum = 0;
            for (unsigned char c : sized)
                sum += c;
            parts += std::string(4, '\0') + sized + char(sum) + char(sum >> 8);
            offset = static_cast<uint32_t>(66 + 16 * n + parts.size());
        }
        table += Pad(e.name, 8) + char(e.type) + std::string(3, '\0') + Le32(offset);
    }
    return f + table + "\xA5\x5A" + parts;
}

std::string Fargo1ProgramData(const std::vector<std::string>& libraries, const std::string& description)
{
    std::string d(40, '\x11');
    Put(d, 1, "P");
    Put(d, 6, Be16(40 - 1));  // table at file offset 89 + 39 = data byte 40
    std::string table = char(libraries.size()) + Names(libraries);
    Put(d, 12, Be16(40 + table.size()));  // description at 88 + word
    Put(d, 40, table + description + '\0');
    return d;
}

std::string Fargo2ProgramData(const std::vector<std::string>& libraries, const std::string& description)
{
    std::string d(40, '\x11');
    Put(d, 2, "EXE");
    Put(d, 6, "APPL");
    // Offsets count from file offset 86, which is two bytes before the data.
    Put(d, 16, Be16(30 + 2));  // import record at data byte 30
    Put(d, 30, Be16(libraries.size()) + Be16(40 + 2));
    std::string names = Names(libraries);
    Put(d, 20, Be16(40 + names.size() + 2));
    Put(d, 40, names + description + '\0');
    return d;
}

std::string Fargo1LibraryData()
{
    std::string d(20, '\x22');
    d[1] = 'L';
    return d;
}

std::string Fargo2LibraryData()
{
    std::string d(20, '\x22');
    Put(d, 2, "EXE");
    Put(d, 6, "DLL");
    return d;
}

std::string TextVariableData(const std::vector<std::string>& lines)
{
    std::string d("\x00\x01", 2);
    for (size_t i = 0; i < lines.size(); ++i)
        d += (i ? "\r " : " ") + lines[i];
    return d + '\0' + '\xE0';
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}
