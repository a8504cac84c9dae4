// Loading TI-92 variable files into the virtual calculator.
#include <gtest/gtest.h>

#include <stdexcept>

#include "sim/SimPacket.h"
#include "sim/VirtualTI92.h"
#include "tests/sim/SimBytes.h"

namespace {

struct Entry {
    std::string name;
    uint8_t type;
    std::string bytes;  // size word + data; empty for folders
};

std::string Pad(const std::string& s, size_t n)
{
    std::string out = s;
    out.resize(n, '\0');
    return out;
}

// Writes a file in the on-disk layout: header, table, separator, data parts.
std::string MakeFile(const std::string& folder, const std::vector<Entry>& entries)
{
    const size_t n = entries.size();
    std::string f = "**TI92**" + Hex("01 00") + Pad(folder, 8) + Pad("a comment", 40);
    f += static_cast<char>(n);
    f += '\0';
    uint32_t offset = static_cast<uint32_t>(66 + 16 * n);
    f += LongLE(offset);
    for (const auto& e : entries) {
        f += Pad(e.name, 8);
        f += static_cast<char>(e.type);
        f += std::string(3, '\0');
        if (e.type == 0x1D)
            offset += static_cast<uint32_t>(e.bytes.size() + 2);
        else if (e.type != 0x1F)
            offset += static_cast<uint32_t>(e.bytes.size() + 6);
        f += LongLE(offset);
    }
    f += Hex("A5 5A");
    for (const auto& e : entries) {
        if (e.type == 0x1F)
            continue;
        if (e.type != 0x1D)
            f += std::string(4, '\0');
        f += e.bytes;
        f += WordLE(PacketChecksum(e.bytes));
    }
    return f;
}

}  // namespace

TEST(FileContent, SingleVariableFileGoesIntoItsFolder)
{
    const std::string file = MakeFile("main", {{"prog1", 0x12, Hex("00 03 01 02 03")}});
    ASSERT_EQ(file.size(), 93u);
    VirtualTI92 calc;
    calc.LoadFileBytes(file, "prog1.92p");
    const SimVariable* v = calc.FindVariable("main\\prog1");
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->type, 0x12);
    EXPECT_EQ(ToHex(v->bytes), "00 03 01 02 03");
}

TEST(FileContent, GroupFileKeepsFoldersAndEightCharacterNames)
{
    const std::string file = MakeFile("", {{"early", 0x00, Hex("00 01 07")},
                                           {"games", 0x1F, ""},
                                           {"abcdefgh", 0x0C, Hex("00 02 41 42")},
                                           {"tools", 0x1F, ""},
                                           {"t", 0x0B, Hex("00 00")}});
    VirtualTI92 calc;
    calc.LoadFileBytes(file, "group.92g");
    ASSERT_NE(calc.FindVariable("main\\early"), nullptr);
    ASSERT_NE(calc.FindVariable("games\\abcdefgh"), nullptr);
    EXPECT_EQ(ToHex(calc.FindVariable("games\\abcdefgh")->bytes), "00 02 41 42");
    ASSERT_NE(calc.FindVariable("tools\\t"), nullptr);
    EXPECT_EQ(calc.VariableCount(), 3u);
}

TEST(FileContent, BackupFileInstallsTheImage)
{
    VirtualTI92 source = VirtualTI92::WithDemoContent();
    const std::string file = MakeFile("", {{"2.03", 0x1D, source.MemoryImage()}});
    VirtualTI92 calc;
    calc.LoadFileBytes(file, "all.92b");
    EXPECT_EQ(calc.romVersion, "2.03");
    EXPECT_TRUE(calc.HasInstalledImage());
    EXPECT_EQ(calc.VariableCount(), source.VariableCount());
}

TEST(FileContent, DamagedFilesAreRejectedAndChangeNothing)
{
    VirtualTI92 calc;
    EXPECT_THROW(calc.LoadFileBytes(std::string(60, 'x'), "text.92p"), std::runtime_error);
    EXPECT_THROW(calc.LoadFile("/nonexistent/file.92g"), std::runtime_error);

    const std::string file = MakeFile("", {{"main", 0x1F, ""},
                                           {"a", 0x00, Hex("00 03 01 02 03")},
                                           {"b", 0x0C, std::string("\x00\x20", 2) + std::string(32, 's')}});
    // Every cut of the file either loads or fails cleanly, never reads past its end.
    int rejected = 0;
    for (size_t len = 0; len < file.size(); ++len) {
        VirtualTI92 cut;
        try {
            cut.LoadFileBytes(file.substr(0, len), "cut.92g");
        } catch (const std::runtime_error& e) {
            ++rejected;
            EXPECT_EQ(cut.VariableCount(), 0u) << "a rejected file must not load half its content";
            EXPECT_NE(std::string(e.what()).find("cut.92g"), std::string::npos);
        }
    }
    EXPECT_EQ(rejected, static_cast<int>(file.size()) - 2);  // only the file checksum may be missing

    // A size word larger than the file.
    std::string big = MakeFile("main", {{"v", 0x00, Hex("00 03 01 02 03")}});
    big[86] = '\x7F';
    EXPECT_THROW(calc.LoadFileBytes(big, "big.92e"), std::runtime_error);
    EXPECT_EQ(calc.VariableCount(), 0u);
}
