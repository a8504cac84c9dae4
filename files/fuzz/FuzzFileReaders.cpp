// Feeds arbitrary bytes to every reader of TI-92 files: the classifier, the
// list of included variables, the entry table with its data parts, the
// backup image and the index records of the temporary store.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "files/ByteSource.h"
#include "files/ClassifyFile.h"
#include "files/EntryTable.h"
#include "files/FileFormat.h"
#include "files/FileListing.h"
#include "files/TempStore.h"
#include "link/Exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    MemoryBytes file(bytes);

    for (const char* path : {"f.92p", "f.TXT"}) {
        VariableFileType info;
        info.path = path;
        ClassifyBytes(info, file);
        if (info.LibraryCount() > 10)
            __builtin_trap();
    }
    ListIncludedVariables(file);

    try {
        EntryTable table = ReadEntryTable(file);
        if (table.entries.size() > 255)
            __builtin_trap();
        for (const FileEntry& e : table.entries) {
            try {
                ReadVariableData(file, e);
            } catch (const EFileError&) {
            }
        }
        if (ShapeOf(file) == FileShape::Backup)
            ReadBackupImage(file);
    } catch (const EFileError&) {
        // Files that are not variable files, or end too early, are reported.
    }

    for (size_t at = 0; at + kIndexRecordSize <= size && at < 36 * 8; at += kIndexRecordSize)
        DecodeIndexRecord(bytes.substr(at, kIndexRecordSize));
    return 0;
}
