#pragma once
#include <map>
#include <string>
#include <vector>

#include "link/TransferView.h"

// The calculator's variables as one listing gave them, for a send that must
// not replace one without consent. A name without a folder lands in the
// calculator's current folder, which the listing's header names; when a
// calculator's header names none, such a name may land in any folder.
// Names compare without regard to case. Used by the file-list send.
class HeldVariables {
public:
    HeldVariables(const std::vector<ListItem>& rows, std::string currentFolder);

    // Lower-case folder\name keys of the variables a variable sent as
    // `fullName` ("folder\name", "\name" or "name") would replace.
    std::vector<std::string> Replaced(const std::string& fullName) const;
    const ListItem& Row(const std::string& key) const { return fRows.at(key); }
    // Where a variable sent as `fullName` lands, lower case; "\name" when it
    // has no folder and the current folder is not known.
    std::string Target(const std::string& fullName) const;

private:
    std::string fCurrent;  // lower case; empty when not known
    std::map<std::string, ListItem> fRows;
};
