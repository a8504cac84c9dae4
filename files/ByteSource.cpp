#include "files/ByteSource.h"

#include <algorithm>
#include <cstring>

#include "link/Exceptions.h"

size_t MemoryBytes::ReadAt(uint64_t offset, char* buf, size_t n) const
{
    if (offset >= fBytes.size())
        return 0;
    size_t count = std::min<uint64_t>(n, fBytes.size() - offset);
    std::memcpy(buf, fBytes.data() + offset, count);
    return count;
}

DiskBytes::DiskBytes(const std::filesystem::path& path)
{
    // Only regular files: opening a named pipe or a device could wait forever.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        throw EFileError("Cannot open file " + path.string() + ".");
    fIn.open(path, std::ios::binary);
    if (!fIn)
        throw EFileError("Cannot open file " + path.string() + ".");
    fIn.seekg(0, std::ios::end);
    auto end = fIn.tellg();
    if (end < 0)
        throw EFileError("Cannot read file " + path.string() + ".");
    fSize = static_cast<uint64_t>(end);
}

size_t DiskBytes::ReadAt(uint64_t offset, char* buf, size_t n) const
{
    if (offset >= fSize || n == 0)
        return 0;
    n = std::min<uint64_t>(n, fSize - offset);
    fIn.clear();
    fIn.seekg(static_cast<std::streamoff>(offset));
    fIn.read(buf, static_cast<std::streamsize>(n));
    return static_cast<size_t>(std::max<std::streamsize>(fIn.gcount(), 0));
}

std::string ReadWholeFile(const std::filesystem::path& path)
{
    DiskBytes source(path);
    std::string bytes(source.Size(), '\0');
    if (source.ReadAt(0, bytes.data(), bytes.size()) != bytes.size())
        throw EFileError("Cannot read file " + path.string() + ".");
    return bytes;
}
