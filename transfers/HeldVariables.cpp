#include "transfers/HeldVariables.h"

#include <algorithm>
#include <cctype>

namespace {

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

// The name after the folder, and whether a folder was named.
std::string EntryPart(const std::string& fullName, bool& withFolder)
{
    const size_t slash = fullName.find('\\');
    withFolder = slash != std::string::npos && slash > 0;
    return slash == std::string::npos ? fullName : fullName.substr(slash + 1);
}

}  // namespace

HeldVariables::HeldVariables(const std::vector<ListItem>& rows, std::string currentFolder)
    : fCurrent(Lower(std::move(currentFolder)))
{
    for (const ListItem& row : rows)
        fRows[Lower(row.caption)] = row;
}

std::string HeldVariables::Target(const std::string& fullName) const
{
    bool withFolder = false;
    const std::string name = EntryPart(fullName, withFolder);
    if (withFolder)
        return Lower(fullName);
    return fCurrent + "\\" + Lower(name);
}

std::vector<std::string> HeldVariables::Replaced(const std::string& fullName) const
{
    const std::string target = Target(fullName);
    if (target.front() != '\\')
        return fRows.count(target) ? std::vector<std::string>{target} : std::vector<std::string>{};
    std::vector<std::string> keys;
    for (const auto& [key, row] : fRows)
        if (key.size() > target.size() && key.compare(key.size() - target.size(), target.size(), target) == 0 &&
            key.find('\\') == key.size() - target.size())
            keys.push_back(key);
    return keys;
}
