#include "files/FileListing.h"

#include "files/EntryTable.h"
#include "files/FileFormat.h"
#include "files/TempStore.h"
#include "link/TypeNames.h"

std::string SizeText(int64_t length)
{
    if (length >= 1048580)
        return std::to_string(length / 1048580) + " mb";
    if (length >= 1024)
        return std::to_string(length / 1024) + " kb";
    return std::to_string(length) + " b";
}

namespace {
const std::string& Column(const ListItem& item, size_t sub)
{
    static const std::string empty;
    return sub < item.subItems.size() ? item.subItems[sub] : empty;
}
}  // namespace

int FileListCompare(const ListItem& item1, const ListItem& item2, int sortKey)
{
    switch (sortKey) {
    case 0:
        return item1.caption <= item2.caption ? -1 : 1;
    case 1:
    case 2: {
        size_t sub = static_cast<size_t>(sortKey - 1);
        return Column(item1, sub) <= Column(item2, sub) ? -1 : 1;
    }
    case 3:
        return item1.data > item2.data ? 1 : -1;
    default:
        return -1;
    }
}

std::vector<ListItem> ListIncludedVariables(const ByteSource& file)
{
    std::vector<ListItem> items;
    if (!IsVariableFile(file))
        return items;
    EntryTable table = ReadEntryTable(file);
    std::string folder = table.count == 1 ? table.defaultFolder + "\\" : std::string();
    for (const FileEntry& e : table.entries) {
        if (e.IsFolder()) {
            folder = e.name + "\\";
            continue;
        }
        ListItem item;
        // 17 characters hold a full folder\name.
        item.caption = (folder + e.name).substr(0, kMaxStoredName);
        item.data = e.type;
        if ((e.nextOffset >> 24) == 0)
            item.subItems.push_back(TypeName(e.type));
        items.push_back(std::move(item));
    }
    return items;
}

std::vector<ListItem> ListIncludedVariables(const std::string& path)
{
    DiskBytes file(path);
    return ListIncludedVariables(file);
}
