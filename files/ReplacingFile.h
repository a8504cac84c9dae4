#pragma once
#include <filesystem>
#include <fstream>
#include <string>

// A new version of a file, written beside it and put in its place only when
// complete, so a failed or interrupted save leaves the old file as it was.
// A symbolic link is followed: the file it points to is replaced and the link
// stays. The replaced file's permissions (and, where allowed, owner) are kept.
// Failures throw EFileError naming the file and the system's reason.
class ReplacingFile {
public:
    explicit ReplacingFile(const std::string& target);
    ~ReplacingFile();   // removes the unfinished part unless committed
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    std::ostream& Stream() { return fOut; }
    // Flushes the part to the disk and renames it over the target.
    void Commit();
    // The file that is replaced: the target with its links resolved.
    const std::filesystem::path& RealTarget() const { return fReal; }

private:
    std::filesystem::path fShown;   // the name the user chose, for messages
    std::filesystem::path fReal;
    std::filesystem::path fPart;
    std::ofstream fOut;
    bool fDone = false;
};
