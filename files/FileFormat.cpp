#include "files/FileFormat.h"

#include <cerrno>
#include <cstring>

#include "link/Exceptions.h"

std::string PadName(const std::string& text, size_t width)
{
    if (text.size() >= width)
        return text;
    return text + std::string(width - text.size(), '\0');
}

std::string WordBytes(uint16_t value)
{
    return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
}

std::string LongBytes(uint32_t value)
{
    std::string out(4, '\0');
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

void WriteRaw(std::ostream& out, std::string_view text)
{
    errno = 0;
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!out)
        throw EFileError(errno ? "Cannot write to the file: " + std::string(std::strerror(errno)) + "."
                               : "Cannot write to the file.");
}

std::string ReadAvailableAt(const ByteSource& file, uint64_t offset, size_t count)
{
    if (offset >= file.Size())
        return {};
    uint64_t available = file.Size() - offset;
    if (count > available)
        count = static_cast<size_t>(available);
    std::string out(count, '\0');
    out.resize(file.ReadAt(offset, out.data(), count));
    return out;
}

std::string ReadBytesAt(const ByteSource& file, uint64_t offset, size_t count)
{
    std::string out = ReadAvailableAt(file, offset, count);
    if (out.size() != count)
        throw EFileError("Read beyond the end of the file.");
    return out;
}

uint8_t ReadByteAt(const ByteSource& file, uint64_t offset)
{
    return static_cast<uint8_t>(ReadBytesAt(file, offset, 1)[0]);
}

uint16_t ReadWordLE(const ByteSource& file, uint64_t offset)
{
    std::string b = ReadBytesAt(file, offset, 2);
    return static_cast<uint16_t>(static_cast<uint8_t>(b[0]) + 256 * static_cast<uint8_t>(b[1]));
}

uint16_t ReadWordBE(const ByteSource& file, uint64_t offset)
{
    std::string b = ReadBytesAt(file, offset, 2);
    return static_cast<uint16_t>(256 * static_cast<uint8_t>(b[0]) + static_cast<uint8_t>(b[1]));
}

uint32_t ReadLongLE(const ByteSource& file, uint64_t offset)
{
    std::string b = ReadBytesAt(file, offset, 4);
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<uint8_t>(b[i]);
    return v;
}

std::string CopyUntilNul(std::string_view field, size_t count)
{
    field = field.substr(0, count);
    return std::string(field.substr(0, field.find('\0')));
}

bool IsVariableFile(const ByteSource& file)
{
    return file.Size() >= ti92::kMinFileSize && ReadAvailableAt(file, 0, ti92::kSignature.size()) == ti92::kSignature;
}

FileShape ShapeOf(const ByteSource& file)
{
    if (!IsVariableFile(file))
        return FileShape::NotVariableFile;
    if (ReadByteAt(file, ti92::kCountOffset) != 1)
        return FileShape::Group;
    // A one-entry file whose table is cut off cannot be a backup.
    std::string type = ReadAvailableAt(file, 72, 1);
    return !type.empty() && static_cast<uint8_t>(type[0]) == ti92::kBackupType ? FileShape::Backup : FileShape::Single;
}
