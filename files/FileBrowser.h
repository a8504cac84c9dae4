#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "files/ClassifyFile.h"
#include "link/TransferView.h"

// What the file browser lists: the extension filter text (".92G;.92P;...")
// and the Fargo versions shown.
struct BrowserFilter {
    std::string extensions;
    FargoVisibility show;
};

// The caption of the only row of a folder with nothing to show.
inline constexpr const char* kNoFilesToShow = "(no files to show)";
// The comment of a listed file that cannot be opened.
inline constexpr const char* kUnreadableComment = "(cannot be opened)";

// True when the file's extension, upper-cased with its dot, is part of the
// filter text. Files without an extension are never listed.
bool ExtensionPasses(const std::string& fileName, const std::string& filterText);

// One row per listed file of the folder: caption the file name as on disk,
// sub-items comment (or Fargo description + " *"), kind text and size text;
// data the length. Hidden files, folders and anything but regular files are
// left out; a folder without a file to show gives the one row
// "(no files to show)". Rows come sorted by sortKey. Throws EFileError when
// the folder cannot be read.
std::vector<ListItem> ListFiles(const std::string& directory, const BrowserFilter& filter, int sortKey = 0);

// The comment as the list and the panel show it: up to its first NUL, with
// the "**" of a damaged file kept.
std::string ShownComment(const VariableFileType& info);

// The row of one classified file, as the list shows it.
ListItem FileListRow(const std::string& fileName, const VariableFileType& info);

// Sorts the rows ascending by sort key (0 name, 1 comment, 2 kind, 3 size).
void SortFileList(std::vector<ListItem>& rows, int sortKey);
// The sort key a click on a column header chooses.
int SortKeyForColumn(int column, const std::string& caption);

// The folder with its trailing "/".
std::string WithSlash(const std::string& directory);

// "1 kb (#3)": the size text of the selection's total length and its count.
std::string SelectionSizeText(int64_t totalLength, int count);

// The information panel for one file of the list.
struct FilePanel {
    bool found = false;
    std::string title;           // fileTitleLabel
    std::string kindText = "-";  // fileKindLabel
    bool showVariables = false;  // the included-variables group
    std::vector<ListItem> variables;
    std::string comment;  // commentMemo
    bool commentReadOnly = false;
    bool showLibraries = false;   // librariesGroup, librariesEdit, librariesCaption
    std::string libraries;        // librariesEdit
    std::string libraryWarning;   // a program that names more libraries than are kept
    std::string textSideFile;     // a .txt of the same name, when there is one
    std::string pictureSideFile;  // a .bmp or .png of the same name
    VariableFileType info;
};

// The panel of directory + caption; "File not found!" when it does not
// exist. Throws EFileError when the file exists but cannot be read.
FilePanel DescribeFile(const std::string& directory, const std::string& caption, FargoVisibility show = {});

// The side file of a path with another extension, found in lower or upper
// case; empty when there is none.
std::string SideFile(const std::string& path, const std::vector<std::string>& extensions);
