#pragma once
#include <filesystem>

#include "files/LockedFolder.h"

// The temporary store's folder of one running program, so two running
// copies never overwrite each other's received variables. It lives in
// <parent>/stores/ and holds a lock for as long as the program runs; a
// folder whose lock nobody holds is left over from a crashed run and is
// removed when the next one starts. Removed with its content on destruction.
class ProcessStoreFolder {
public:
    explicit ProcessStoreFolder(const std::filesystem::path& parent);
    ~ProcessStoreFolder();
    ProcessStoreFolder(const ProcessStoreFolder&) = delete;
    ProcessStoreFolder& operator=(const ProcessStoreFolder&) = delete;

    // Ends with a path separator.
    const std::filesystem::path& Path() const { return fPath; }

private:
    LockedFolder fFolder;
    std::filesystem::path fPath;
};
