#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "files/ByteSource.h"

// What the file browser and the senders know about a file.
struct VariableFileType {
    std::string path;
    std::string extension;    // up to 3 characters, without the dot, as on disk
    std::string comment;      // 34 comment bytes, the start of a text file, or "(corrupted)"
    std::string description;  // Fargo program description
    int64_t size = 0;
    uint32_t entryCount = 0;             // byte at offset 58
    int kind = 0;                        // see KindText
    std::vector<std::string> libraries;  // Fargo libraries a program needs, at most 10
    int declaredLibraries = 0;           // how many the program names, more than 10 included
    int LibraryCount() const { return static_cast<int>(libraries.size()); }
    // The libraries the program names beyond the ones kept.
    int DroppedLibraries() const { return declaredLibraries > LibraryCount() ? declaredLibraries - LibraryCount() : 0; }
};

namespace kinds {
inline constexpr int kNone = 0;
inline constexpr int kText = 1;
inline constexpr int kFargo2Library = 95;
inline constexpr int kFargo2Program = 96;
inline constexpr int kFargo1Library = 97;
inline constexpr int kFargo1Program = 98;
inline constexpr int kGroup = 99;
inline constexpr int kSingle = 100;  // + type code
inline constexpr size_t kMaxLibraries = 10;
}  // namespace kinds

// Which Fargo files the browser shows.
struct FargoVisibility {
    bool showFargo1 = true;
    bool showFargo2 = true;
};

// Fills every field but the path from the file at info.path. False when the
// file is a Fargo file of a hidden version. Throws EFileError when the file
// cannot be opened. Damaged files get what could be read and "**" at the end
// of the comment.
bool ClassifyFile(VariableFileType& info, FargoVisibility show = {});
// The same on bytes already at hand (the path supplies the extension).
bool ClassifyBytes(VariableFileType& info, const ByteSource& file, FargoVisibility show = {});

// "-", "Textfile", "Groupfile", "Single (string)", "Fargo v2.x program", ...
std::string KindText(int kind);
