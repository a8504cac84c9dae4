#include "files/FileBrowser.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "files/FileFormat.h"
#include "files/FileListing.h"
#include "link/Exceptions.h"

namespace fs = std::filesystem;

namespace {

std::string Upper(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

bool IsHidden(const std::string& name)
{
    return !name.empty() && name[0] == '.';
}

bool ShowsVariables(int kind)
{
    return kind >= kinds::kFargo2Library && kind <= kinds::kSingle + 30;
}

}  // namespace

bool ExtensionPasses(const std::string& fileName, const std::string& filterText)
{
    std::string ext = fs::path(fileName).extension().string();
    if (ext.empty())
        return false;
    return filterText.find(Upper(ext)) != std::string::npos;
}

std::string WithSlash(const std::string& directory)
{
    if (!directory.empty() && directory.back() == '/')
        return directory;
    return directory + "/";
}

std::string ShownComment(const VariableFileType& info)
{
    std::string shown = CopyUntilNul(info.comment, info.comment.size());
    const bool damaged = info.comment.size() > shown.size() && info.comment.ends_with("**");
    return damaged ? shown + "**" : shown;
}

ListItem FileListRow(const std::string& fileName, const VariableFileType& info)
{
    ListItem row;
    row.caption = fileName;
    std::string comment = info.description.empty() ? ShownComment(info) : info.description + " *";
    row.subItems = {comment, KindText(info.kind), SizeText(info.size)};
    row.data = static_cast<int>(std::min<int64_t>(info.size, INT32_MAX));
    return row;
}

std::vector<ListItem> ListFiles(const std::string& directory, const BrowserFilter& filter, int sortKey)
{
    std::vector<ListItem> rows;
    std::error_code ec;
    fs::directory_iterator it(directory.empty() ? fs::path(".") : fs::path(directory), ec);
    if (ec)
        throw EFileError("Cannot read the folder " + directory + ": " + ec.message() + ".");
    const std::string folder = WithSlash(directory);
    for (const fs::directory_entry& entry : it) {
        std::string name = entry.path().filename().string();
        if (IsHidden(name) || !ExtensionPasses(name, filter.extensions))
            continue;
        // Only regular files: a pipe or device could block the reader.
        std::error_code typeError;
        if (!entry.is_regular_file(typeError))
            continue;
        VariableFileType info;
        info.path = folder + name;
        try {
            if (!ClassifyFile(info, filter.show))
                continue;
        } catch (const EFileError&) {
            // One file that cannot be opened keeps the rest of the folder listed.
            info.kind = kinds::kNone;
            info.comment = kUnreadableComment;
            const auto size = entry.file_size(typeError);
            info.size = typeError ? 0 : static_cast<int64_t>(size);
        }
        rows.push_back(FileListRow(name, info));
    }
    if (rows.empty()) {
        ListItem none;
        none.caption = kNoFilesToShow;
        rows.push_back(none);
        return rows;
    }
    SortFileList(rows, sortKey);
    return rows;
}

void SortFileList(std::vector<ListItem>& rows, int sortKey)
{
    // FileListCompare never says "equal"; "less" is the -1 answer.
    std::stable_sort(rows.begin(), rows.end(), [sortKey](const ListItem& a, const ListItem& b) {
        return FileListCompare(a, b, sortKey) < 0 && FileListCompare(b, a, sortKey) > 0;
    });
}

int SortKeyForColumn(int column, const std::string& caption)
{
    return caption == "Size" ? 3 : column;
}

std::string SelectionSizeText(int64_t totalLength, int count)
{
    return SizeText(totalLength) + " (#" + std::to_string(count) + ")";
}

std::string SideFile(const std::string& path, const std::vector<std::string>& extensions)
{
    for (const std::string& ext : extensions) {
        for (const std::string& variant : {Lower(ext), Upper(ext)}) {
            fs::path side = fs::path(path).replace_extension(variant);
            std::error_code ec;
            if (fs::is_regular_file(side, ec))
                return side.string();
        }
    }
    return {};
}

FilePanel DescribeFile(const std::string& directory, const std::string& caption, FargoVisibility show)
{
    FilePanel panel;
    std::string path = WithSlash(directory) + caption;
    std::error_code ec;
    if (caption.empty() || !fs::is_regular_file(path, ec)) {
        panel.title = "File not found!";
        return panel;
    }
    panel.found = true;
    panel.info.path = path;
    ClassifyFile(panel.info, show);
    const VariableFileType& info = panel.info;
    panel.title = "File info of " + caption;
    panel.kindText = KindText(info.kind);
    if (ShowsVariables(info.kind)) {
        panel.showVariables = true;
        panel.variables = ListIncludedVariables(path);
    }
    panel.textSideFile = SideFile(path, {".txt"});
    panel.pictureSideFile = SideFile(path, {".bmp", ".png"});
    if (!info.description.empty()) {
        panel.comment = "Fargo: " + info.description;
        panel.commentReadOnly = true;
    } else {
        panel.comment = ShownComment(info);
    }
    const bool program = info.kind == kinds::kFargo1Program || info.kind == kinds::kFargo2Program;
    if (program && info.LibraryCount() != 0) {
        panel.showLibraries = true;
        for (size_t k = 0; k < info.libraries.size(); ++k)
            panel.libraries += (k ? ", " : "") + info.libraries[k];
        if (info.DroppedLibraries() > 0)
            panel.libraryWarning = "This program names " + std::to_string(info.declaredLibraries) +
                                   " libraries; only the first " + std::to_string(info.LibraryCount()) + " are used.";
    }
    return panel;
}
