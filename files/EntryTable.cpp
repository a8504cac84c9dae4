#include "files/EntryTable.h"

#include "files/FileFormat.h"
#include "link/Exceptions.h"

bool FileEntry::IsFolder() const
{
    return type == ti92::kFolderType;
}

EntryTable ReadEntryTable(const ByteSource& file)
{
    if (!IsVariableFile(file))
        throw EFileError("The file is not a TI-92 file.");
    EntryTable table;
    std::string header = ReadAvailableAt(file, 0, ti92::kTableOffset);
    table.defaultFolder = CopyUntilNul(std::string_view(header).substr(ti92::kDefaultFolderOffset), ti92::kNameLength);
    table.comment = header.substr(ti92::kCommentOffset, ti92::kCommentLength);
    if (header.size() <= ti92::kCountOffset) {
        table.truncated = true;
        return table;
    }
    table.count = static_cast<uint8_t>(header[ti92::kCountOffset]);

    std::string folder = table.count == 1 ? table.defaultFolder : std::string();
    for (int k = 0; k < table.count; ++k) {
        uint64_t start = ti92::kTableOffset + ti92::kEntrySize * k;
        // The slot plus the following slot's data offset.
        std::string slot = ReadAvailableAt(file, start, 20);
        if (slot.size() < 20) {
            table.truncated = true;
            break;
        }
        MemoryBytes bytes(slot);
        FileEntry e;
        e.dataOffset = ReadLongLE(bytes, 0);
        e.name = CopyUntilNul(std::string_view(slot).substr(4), ti92::kNameLength);
        e.type = static_cast<uint8_t>(slot[12]);
        e.attribute = static_cast<uint8_t>(slot[13]);
        e.folderSize = ReadWordLE(bytes, 14);
        e.nextOffset = ReadLongLE(bytes, 16);
        if (e.IsFolder())
            folder = e.name;
        e.folder = folder;
        table.entries.push_back(std::move(e));
    }
    return table;
}

std::string ReadVariableData(const ByteSource& file, const FileEntry& entry)
{
    uint64_t sizeWord = uint64_t(entry.dataOffset) + 4;
    uint16_t size = ReadWordBE(file, sizeWord);
    return ReadBytesAt(file, sizeWord, size + 2u);
}

std::string ReadBackupImage(const ByteSource& file)
{
    if (file.Size() < ti92::kSingleDataOffset + 2)
        throw EFileError("The backup file is too short.");
    return ReadBytesAt(file, ti92::kSingleDataOffset, static_cast<size_t>(file.Size() - ti92::kSingleDataOffset - 2));
}
