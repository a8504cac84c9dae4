#include "tests/files/FileTestSupport.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <random>

ScratchFolder::ScratchFolder()
{
    static std::mt19937_64 random(std::random_device{}());
    fPath = std::filesystem::temp_directory_path() /
            ("linkwise-files-" + std::to_string(getpid()) + "-" + std::to_string(random()));
    std::filesystem::create_directories(fPath);
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ec;
    std::filesystem::permissions(fPath, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(fPath, ec);
}

std::string Hex(const std::string& digits)
{
    std::string out;
    std::string pair;
    for (char c : digits) {
        if (c == ' ')
            continue;
        pair += c;
        if (pair.size() == 2) {
            out += static_cast<char>(std::stoi(pair, nullptr, 16));
            pair.clear();
        }
    }
    return out;
}

std::string Zeros(size_t n)
{
    return std::string(n, '\0');
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << path;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

std::string SizedData(const std::string& data)
{
    std::string out;
    out += static_cast<char>(data.size() >> 8);
    out += static_cast<char>(data.size() & 0xFF);
    return out + data;
}

namespace {
std::string Le32(uint32_t v)
{
    return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}
std::string Pad(const std::string& s, size_t n)
{
    return s + Zeros(n - s.size());
}
}  // namespace

std::string SingleFileBytes(const std::string& folder, const std::string& name, uint8_t type, const std::string& data,
                            const std::string& comment)
{
    std::string sized = SizedData(data);
    uint32_t sum = 0;
    for (unsigned char c : sized)
        sum += c;
    std::string f = "**TI92**" + Hex("0100") + Pad(folder, 8) + Pad(comment, 40) + Hex("0100");
    f += Le32(82) + Pad(name, 8) + std::string(1, static_cast<char>(type)) + Zeros(3);
    f += Le32(static_cast<uint32_t>(82 + 4 + sized.size() + 2)) + Hex("A55A");
    f += Zeros(4) + sized + std::string{static_cast<char>(sum & 0xFF), static_cast<char>((sum >> 8) & 0xFF)};
    return f;
}
