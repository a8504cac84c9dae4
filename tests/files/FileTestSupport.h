#pragma once
#include <filesystem>
#include <string>

#include "files/TempStore.h"

// A fresh folder under the system's temporary folder, removed afterwards.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    const std::filesystem::path& Path() const { return fPath; }
    std::string operator/(const std::string& name) const { return (fPath / name).string(); }

private:
    std::filesystem::path fPath;
};

// Bytes from hex digits; spaces are ignored.
std::string Hex(const std::string& digits);
std::string Zeros(size_t n);
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);

// A variable's size word and data bytes, as the calculator sends them.
std::string SizedData(const std::string& data);

// A one-variable file built by hand, independent of the writer under test.
std::string SingleFileBytes(const std::string& folder, const std::string& name, uint8_t type, const std::string& data,
                            const std::string& comment = "");
