#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "sim/HomeScreen.h"

// A variable as the calculator keeps it: its bytes start with the big-endian
// size word S, followed by the S data bytes. The directory listing and the
// variable header both report the size of these bytes, S + 2.
struct SimVariable {
    static constexpr size_t kMaxDataBytes = 65529;
    std::string name;  // at most 8 characters
    uint8_t type = 0;
    std::string bytes;  // size word + data
    bool locked = false;

    uint32_t Size() const { return static_cast<uint32_t>(bytes.size()); }
    std::string Data() const { return bytes.size() >= 2 ? bytes.substr(2) : std::string(); }
    // Builds the stored form from the data bytes (the size word is added).
    static SimVariable FromData(const std::string& name, uint8_t type, const std::string& data);
};

struct SimFolder {
    std::string name;
    std::vector<SimVariable> variables;
};

// The virtual TI-92 itself: what it holds, independent of any cable.
class VirtualTI92 {
public:
    static constexpr int kScreenWidth = 240;
    static constexpr int kScreenHeight = 128;
    static constexpr int kScreenBytes = kScreenWidth / 8 * kScreenHeight;  // 3840

    // An empty calculator: the folder main and a blank screen.
    VirtualTI92();
    // A calculator with the built-in demo content.
    static VirtualTI92 WithDemoContent();

    std::string romVersion = "1.11";
    std::string currentFolder = "main";
    std::vector<SimFolder> folders;
    std::string screen;                 // 128 rows of 30 bytes, MSB leftmost, 1 = black
    std::vector<uint16_t> keysPressed;  // key codes received from the remote keyboard
    HomeScreen home;

    // Content.
    void Clear();  // leaves only an empty main folder
    void LoadDemoContent();
    SimFolder& Folder(const std::string& name);  // created when missing
    const SimFolder* FindFolder(const std::string& name) const;
    // Adds or replaces a variable; `data` is without the size word.
    SimVariable& AddVariable(const std::string& folder, const std::string& name, uint8_t type, const std::string& data);
    SimVariable& PutVariable(const std::string& folder, const SimVariable& v);
    // "folder\name"; "\name" and "name" mean the current folder.
    const SimVariable* FindVariable(const std::string& fullName) const;
    size_t VariableCount() const;
    // Splits a full name into folder and variable name as the calculator does.
    void SplitName(const std::string& fullName, std::string& folder, std::string& name) const;

    // Memory for variables; what is sent to a full calculator is refused.
    size_t memoryCapacity = 180 * 1024;
    size_t MemoryUsed() const;
    // Whether a variable of this size (size word included) fits under the
    // name, counting the bytes an old variable of that name frees.
    bool Fits(const std::string& fullName, size_t size) const;
    // A name the calculator takes: 1..8 characters, not starting with a
    // digit, letters, digits, "_" and the calculator's own letters (0x80 and
    // up); the same rule for the folder part.
    static bool ValidName(const std::string& fullName);

    // Screen.
    void SetPixel(int x, int y, bool black);
    bool Pixel(int x, int y) const;
    void ClearScreen();
    // A key from the remote keyboard: kept, and shown on the home screen.
    void PressKey(uint16_t code);

    // The memory image a backup carries. Until a backup is received it is
    // built from the content; a received image is kept as it came and, when
    // it is one this calculator made, its content is restored from it.
    std::string MemoryImage() const;
    void InstallMemoryImage(const std::string& image);
    bool HasInstalledImage() const { return !fInstalledImage.empty(); }

    // Loads variables and folders from a TI-92 variable file (single, group
    // or backup); throws std::runtime_error with a clear message when the
    // file cannot be used.
    void LoadFile(const std::string& path);
    void LoadFileBytes(const std::string& bytes, const std::string& fileName);

private:
    std::string fInstalledImage;
};
