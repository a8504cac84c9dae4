#pragma once
#include <string>

class ByteSource;

// The memory image of a backup file, from offset 82 up to the file checksum,
// which must match it: a damaged image would replace the calculator's whole
// memory. Throws EFileError naming shownName when the file is too short or
// the checksum does not match.
std::string ReadCheckedImage(const ByteSource& file, const std::string& shownName);
