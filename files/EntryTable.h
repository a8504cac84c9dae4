#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "files/ByteSource.h"

// One 16-byte slot of a variable file's entry table.
struct FileEntry {
    uint32_t dataOffset = 0;  // start of this entry's data part
    std::string name;         // up to 8 characters, ending at the first NUL
    uint8_t type = 0;
    uint8_t attribute = 0;
    uint16_t folderSize = 0;
    uint32_t nextOffset = 0;  // where this entry's data part ends
    std::string folder;       // latest folder entry before it (default folder for one-entry files)
    bool IsFolder() const;
};

struct EntryTable {
    std::string defaultFolder;  // at most 8 characters up to the first NUL
    std::string comment;        // the 34 comment bytes, NULs included
    int count = 0;              // the byte at offset 58
    std::vector<FileEntry> entries;
    bool truncated = false;  // the file ends inside the table
};

// Reads the header and table of a variable file. Entries the file cannot
// hold are left out and `truncated` is set. Throws EFileError when the file
// is not a variable file.
EntryTable ReadEntryTable(const ByteSource& file);

// A variable's size word and data bytes, as the calculator sends them.
// Throws EFileError when the file ends before them.
std::string ReadVariableData(const ByteSource& file, const FileEntry& entry);

// The memory image of a backup file: from offset 82 to two bytes before the end.
std::string ReadBackupImage(const ByteSource& file);
