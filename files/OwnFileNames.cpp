#include "files/OwnFileNames.h"

#include <map>
#include <set>
#include <string>

#include "files/FileExtensions.h"
#include "files/SafeFileName.h"
#include "files/SaveAs92g.h"
#include "files/Ti92Charset.h"

namespace fs = std::filesystem;

namespace {

struct Names {
    std::string folder;  // the calculator's bytes; "main" when the record names none
    std::string file;    // safe file name with extension
};

Names NamesOf(const IndexRecord& record)
{
    const std::string folder = FolderPart(record.name);
    // File names in UTF-8, as ls shows the calculator's names.
    return {folder.empty() ? std::string("main") : folder,
            SafeFileName(ti92text::ToUtf8(EntryName(record.name))) + "." + ExtensionForType(record.type)};
}

// `wanted`, or the first of wanted~2, wanted~3, ... (before the extension)
// that is not taken yet; taken from then on.
fs::path Untaken(const fs::path& wanted, std::set<fs::path>& taken)
{
    fs::path candidate = wanted;
    for (int n = 2; taken.count(candidate) > 0; ++n)
        candidate =
            wanted.parent_path() / (wanted.stem().string() + "~" + std::to_string(n) + wanted.extension().string());
    taken.insert(candidate);
    return candidate;
}

}  // namespace

std::vector<OwnFileName> PlanOwnFileNames(const std::vector<IndexRecord>& records, bool byFolder)
{
    std::vector<Names> names;
    std::map<std::string, std::set<std::string>> foldersOfFile;
    for (const IndexRecord& record : records) {
        names.push_back(NamesOf(record));
        foldersOfFile[names.back().file].insert(names.back().folder);
    }
    // Folders first, so a file never takes a folder's name.
    std::set<fs::path> taken;
    std::map<std::string, fs::path> folderPaths;
    for (const Names& n : names) {
        const bool inFolder = byFolder || foldersOfFile[n.file].size() > 1;
        if (inFolder && folderPaths.count(n.folder) == 0) {
            // A folder name has no extension: the suffix goes at its end.
            const std::string safe = SafeFileName(ti92text::ToUtf8(n.folder));
            fs::path path = safe;
            for (int k = 2; taken.count(path) > 0; ++k)
                path = safe + "~" + std::to_string(k);
            taken.insert(path);
            folderPaths[n.folder] = path;
        }
    }
    std::vector<OwnFileName> plan;
    for (const Names& n : names) {
        const bool inFolder = byFolder || foldersOfFile[n.file].size() > 1;
        const fs::path natural =
            byFolder ? fs::path(SafeFileName(ti92text::ToUtf8(n.folder))) / n.file : fs::path(n.file);
        plan.push_back({Untaken(inFolder ? folderPaths[n.folder] / n.file : fs::path(n.file), taken), natural});
    }
    return plan;
}
