#pragma once
#include <string>

#include <cstdint>

class ByteSource;

// The largest memory image a TI-92 can take back (its whole RAM).
inline constexpr uint64_t kMaxBackupImageBytes = 256 * 1024;

// The memory image of a backup file, from offset 82 up to the file checksum,
// which must match it: a damaged image would replace the calculator's whole
// memory. Throws EFileError naming shownName when the file is too short or
// the checksum does not match, and before reading anything when the image
// is larger than a calculator's memory can be.
std::string ReadCheckedImage(const ByteSource& file, const std::string& shownName);
