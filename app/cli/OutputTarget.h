#pragma once
#include <filesystem>
#include <iosfwd>
#include <string>

// Where a command's -o option sends its file, checked before anything is
// received so that a bad path costs no transfer.
struct OutputTarget {
    enum class Kind { File, Folder, StandardOutput };
    Kind kind = Kind::File;
    std::filesystem::path path;  // the file, or the folder

    // `-` is standard output (refused when that is a terminal), an existing
    // folder (or a name ending in /) is a folder, made by Folder when
    // missing, anything else a file whose folder must exist and be writable.
    // Throws EFileError naming the path and what is wrong, or CliUsageError
    // for `-` on a terminal.
    static OutputTarget Check(const std::string& option, bool standardOutputIsTerminal);
    // The folder `option`, made with its parents as mkdir -p does when
    // missing. Throws EFileError when it cannot be made (a regular file on
    // the way) or is not writable.
    static OutputTarget Folder(const std::string& option);

    // The file to write for an item named `name` with extension `extension`:
    // the file itself, or `name.extension` in the folder.
    std::filesystem::path FileFor(const std::string& name, const std::string& extension) const;
};

// Copies a finished file to standard output; false when that fails.
bool CopyToStream(const std::filesystem::path& file, std::ostream& out);

// Whether a folder can take new files; gives the reason when not.
bool WritableFolder(const std::filesystem::path& folder, std::string& why);
