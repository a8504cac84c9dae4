// Feeds arbitrary bytes to every reader of TI-92 files: the classifier and
// the browser's row, the list of included variables, the entry table with
// its data parts, the viewers' text and picture decoding, the send walk's
// checks of the entry table and the backup image, and the index records of
// the temporary store.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "files/ByteSource.h"
#include "files/ClassifyFile.h"
#include "files/EntryTable.h"
#include "files/FileBrowser.h"
#include "files/FileFormat.h"
#include "files/FileListing.h"
#include "files/TempStore.h"
#include "files/VariableViewing.h"
#include "link/Exceptions.h"
#include "transfers/BackupImage.h"
#include "transfers/SendPlan.h"

namespace {

// The classifier and the browser's row, under a variable's and a text's name.
void ClassifyAndList(const MemoryBytes& file)
{
    for (const char* path : {"f.92p", "f.TXT"}) {
        VariableFileType info;
        info.path = path;
        ClassifyBytes(info, file);
        if (info.LibraryCount() > 10)
            __builtin_trap();
        FileListRow(path, info);
    }
    ListIncludedVariables(file);
}

// The entry table with each entry's data part, and a backup's image.
void ReadEntries(const MemoryBytes& file)
{
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
}

// The viewers on the bytes as a variable's size word and data, and on the
// data of the file's first variables.
void ViewVariables(const MemoryBytes& file, std::string_view bytes)
{
    for (uint8_t type : {ti92::kTextType, uint8_t(0x10)}) {
        const ViewedVariable v = ViewVariable("v", type, bytes);
        if (v.picture.Width() * int64_t(v.picture.Height()) > 4 * 1024 * 1024 + 65535 * 8 * int64_t(bytes.size()))
            __builtin_trap();
    }
    for (size_t variable = 0; variable < 4; ++variable) {
        try {
            ExtractData(file, variable);
        } catch (const EFileError&) {
        }
    }
}

// What sending would do with the file: plan the entries or check the image.
void PlanSending(const MemoryBytes& file, size_t size)
{
    try {
        for (const WorkRecord& w : PlanSend(file, "f.92g"))
            if (!w.folder && uint64_t(w.dataOffset) + 6 + w.size > size)
                __builtin_trap();
    } catch (const EFileError&) {
    }
    try {
        if (ReadCheckedImage(file, "f.92b").size() + 84 != size)
            __builtin_trap();
    } catch (const EFileError&) {
    }
}

// The temporary store's index records.
void DecodeIndexRecords(std::string_view bytes)
{
    for (size_t at = 0; at + kIndexRecordSize <= bytes.size() && at < 36 * 8; at += kIndexRecordSize)
        DecodeIndexRecord(bytes.substr(at, kIndexRecordSize));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    MemoryBytes file(bytes);
    ClassifyAndList(file);
    ReadEntries(file);
    ViewVariables(file, bytes);
    PlanSending(file, size);
    DecodeIndexRecords(bytes);
    return 0;
}
