#pragma once
#include <cstdint>
#include <string>
#include <vector>

class ByteSource;

// One entry as it goes on the line.
struct WorkRecord {
    bool folder = false;
    std::string fullName;  // folder prefix + name; a folder's own name
    uint8_t type = 0;
    uint32_t dataOffset = 0;  // start of the data part (its zero prefix)
    uint32_t size = 0;        // V: size word and data bytes
};

// The whole entry table of a variable file, checked against the file before
// the first byte is sent: an entry whose data lie outside the file, a size
// word that does not match its entry, a variable too large for one packet,
// a backup entry, a table that ends early or one without a variable raise
// EFileError naming fileName. Folder entries name the folder of the variables after them.
std::vector<WorkRecord> PlanSend(const ByteSource& file, const std::string& fileName);
