#pragma once
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

// Random access to the bytes of a whole file. Readers ask for ranges and get
// back only what exists, so nothing ever reads past the end.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual uint64_t Size() const = 0;
    // Copies up to n bytes from offset into buf; returns how many were copied.
    virtual size_t ReadAt(uint64_t offset, char* buf, size_t n) const = 0;
};

// Bytes already in memory (a file read whole, a fuzzer input).
class MemoryBytes : public ByteSource {
public:
    explicit MemoryBytes(std::string_view bytes) : fBytes(bytes) {}
    uint64_t Size() const override { return fBytes.size(); }
    size_t ReadAt(uint64_t offset, char* buf, size_t n) const override;

private:
    std::string_view fBytes;
};

// A file on disk, read on demand; large files are never loaded whole.
class DiskBytes : public ByteSource {
public:
    // Throws EFileError when the file cannot be opened.
    explicit DiskBytes(const std::filesystem::path& path);
    uint64_t Size() const override { return fSize; }
    size_t ReadAt(uint64_t offset, char* buf, size_t n) const override;

private:
    mutable std::ifstream fIn;
    uint64_t fSize = 0;
};

// The whole content of a file; throws EFileError when it cannot be read.
std::string ReadWholeFile(const std::filesystem::path& path);
