#pragma once
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "files/ByteSource.h"

// Layout of TI-92 variable files: a 60-byte header, 16-byte entries from
// offset 60, the end offset, the A5 5A marker, then the data parts.
namespace ti92 {
inline constexpr std::string_view kSignature = "**TI92**";
inline constexpr uint64_t kMinFileSize = 53;  // 52 bytes or less is never a variable file
inline constexpr uint64_t kCommentOffset = 18;
inline constexpr size_t kCommentLength = 34;
inline constexpr size_t kCommentField = 40;
inline constexpr uint64_t kDefaultFolderOffset = 10;
inline constexpr uint64_t kCountOffset = 58;
inline constexpr uint64_t kTableOffset = 60;
inline constexpr uint64_t kEntrySize = 16;
inline constexpr size_t kNameLength = 8;
inline constexpr size_t kMaxEntries = 255;
inline constexpr uint64_t kSingleDataOffset = 82;  // data part of a one-entry file
inline constexpr uint8_t kFolderType = 0x1F;
inline constexpr uint8_t kBackupType = 0x1D;
inline constexpr uint8_t kTextType = 0x0B;

// Offset of the first data part of a file with n entries.
constexpr uint32_t FirstDataOffset(size_t n)
{
    return static_cast<uint32_t>(66 + 16 * n);
}
}  // namespace ti92

// The text followed by NULs up to width; a longer text is returned whole.
std::string PadName(const std::string& text, size_t width);
// Low byte, then high byte.
std::string WordBytes(uint16_t value);
// Least significant byte first.
std::string LongBytes(uint32_t value);
// Writes every byte of the text; throws EFileError when the stream fails.
void WriteRaw(std::ostream& out, std::string_view text);

// Exactly count bytes from offset; throws EFileError when the file ends first.
std::string ReadBytesAt(const ByteSource& file, uint64_t offset, size_t count);
// Up to count bytes from offset, fewer when the file ends first.
std::string ReadAvailableAt(const ByteSource& file, uint64_t offset, size_t count);
uint8_t ReadByteAt(const ByteSource& file, uint64_t offset);
uint16_t ReadWordLE(const ByteSource& file, uint64_t offset);
uint16_t ReadWordBE(const ByteSource& file, uint64_t offset);
uint32_t ReadLongLE(const ByteSource& file, uint64_t offset);
// At most count characters of the field, ending before the first NUL.
std::string CopyUntilNul(std::string_view field, size_t count);

enum class FileShape { NotVariableFile, Single, Group, Backup };

// The validity test: longer than 52 bytes and starting with the signature.
bool IsVariableFile(const ByteSource& file);
// Shape decided by the entry count byte (1: single or backup, else group).
FileShape ShapeOf(const ByteSource& file);
