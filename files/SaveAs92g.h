#pragma once
#include <string>
#include <vector>

#include "files/TempStore.h"

class TransferView;

// The text before the first backslash of a store name (empty without one).
std::string FolderPart(const std::string& name);
// The text after the first backslash (the whole name without one).
std::string EntryName(const std::string& name);

// The entries a save writes for the records of the store, in order.
// A record whose folder part is empty or missing never opens a folder: it
// joins the current folder, or stands before the first folder entry when
// none has been opened yet.
struct PlannedEntry {
    bool isFolder = false;
    std::string name;   // entry name (at most 8 characters are written)
    size_t record = 0;  // index of the record (for a folder: the record it precedes)
};
struct SavePlan {
    std::string defaultFolder;
    int folderRuns = 0;
    std::vector<PlannedEntry> entries;
};
SavePlan PlanEntries(const std::vector<IndexRecord>& records, bool storeFolders);
// The number of entries a save of variables with these full names writes:
// known from the listing, before any of them is received.
size_t EntriesForNames(const std::vector<std::string>& names, bool storeFolders);

class VariableFileWriter;
// The entry table of a plan, each entry with the offset its data part starts
// at (the records' lengths give the sizes). Every writer of variables uses it,
// so equal variables make equal files. Throws EFileError for a damaged index.
void WritePlannedTable(VariableFileWriter& writer, const SavePlan& plan, const std::vector<IndexRecord>& records,
                       bool backup);

// Writes the content of the temporary store as one variable file: a single
// variable, a group file, or (backup set) a backup file. True on success and
// when the store is empty (then nothing is written and an existing target
// stays as it is). The file replaces the target only when complete
// (ReplacingFile), so a failed save leaves the old file untouched.
bool SaveAs92g(TransferView& view, const TempStore& store, bool storeFolders, const std::string& path, bool backup,
               bool log, const std::string& comment);
