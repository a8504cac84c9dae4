#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "link/TransferView.h"

class Ti92Link;

// Asks the calculator for its directory and fills the list view with one row
// per variable: caption folder\name, sub-items type name and size, the type
// code as the row's data. Folder entries give no row. Every packet is
// checked (machine id, command, length, checksum). True when the listing
// ran to its end; otherwise, also for a refusal or a damaged reply, the
// error dialog says why, the rows read so far stay and the result is false.
bool FetchDirectoryList(Ti92Link& link, TransferView& view, ListViewId list);
// The same rows, read without touching a list view; nothing when the
// listing failed (its error dialog has been shown). `currentFolder`, when
// given, gets the calculator's current folder as the listing's header names
// it (empty when it names none).
std::optional<std::vector<ListItem>> ReadDirectory(Ti92Link& link, TransferView& view,
                                                   std::string* currentFolder = nullptr);

// One entry of a listing as the calculator sent it: a folder (its type is
// the folder type, `folder` and `name` both its name) or a variable with the
// folder it is in and whether it is locked.
struct DirectoryEntry {
    std::string folder;
    std::string name;
    uint8_t type = 0;
    uint32_t size = 0;
    bool locked = false;
    bool IsFolder() const;
    // folder\name for a variable, the name for a folder.
    std::string FullName() const { return IsFolder() ? name : folder + "\\" + name; }
};
// Every entry, folders included, in the calculator's order; nothing when the
// listing failed (its error dialog has been shown).
std::optional<std::vector<DirectoryEntry>> ReadDirectoryEntries(Ti92Link& link, TransferView& view);

// The TypeNames entry of a received type code; codes without one are empty.
std::string TypeNameOf(const Ti92Link& link, int code);
