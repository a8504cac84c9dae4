#pragma once
#include <filesystem>

// Folders of a test executable's own, so that no test reads or writes the
// machine's: desktop entries, MIME data, settings and temporary files. Made
// first thing in main, before any Qt object; they point XDG_DATA_HOME,
// XDG_DATA_DIRS, XDG_CONFIG_HOME, XDG_CONFIG_DIRS and TMPDIR into a fresh
// folder, which is removed with everything in it when the object goes.
// Child processes the tests start inherit them. Throws std::runtime_error
// when the folder cannot be made.
class OwnFolders {
public:
    OwnFolders();
    ~OwnFolders();
    OwnFolders(const OwnFolders&) = delete;
    OwnFolders& operator=(const OwnFolders&) = delete;

    const std::filesystem::path& Root() const { return fRoot; }

private:
    std::filesystem::path fRoot;
};
