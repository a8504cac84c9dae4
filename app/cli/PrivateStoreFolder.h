#pragma once
#include <filesystem>
#include <string>

#include "files/LockedFolder.h"

// A temporary store folder of a command's own, so a command never touches the
// store of a running window: <prefix>-XXXXXX in the temporary folder. Removed
// with everything in it on destruction; one left by a killed run is removed
// when the next command makes its own.
class PrivateStoreFolder {
public:
    explicit PrivateStoreFolder(const std::string& prefix)
        : fFolder(std::filesystem::temp_directory_path(), prefix + "-")
    {
    }
    const std::filesystem::path& Path() const { return fFolder.Path(); }

private:
    LockedFolder fFolder;
};
