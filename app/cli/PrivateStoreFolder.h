#pragma once
#include <cstdlib>
#include <filesystem>
#include <string>

#include "files/LockedFolder.h"
#include "link/Exceptions.h"

// A temporary store folder of a command's own, so a command never touches the
// store of a running window: <prefix>-XXXXXX in the temporary folder. Removed
// with everything in it on destruction; one left by a killed run is removed
// when the next command makes its own.
class PrivateStoreFolder {
public:
    explicit PrivateStoreFolder(const std::string& prefix) : fFolder(TemporaryFolder(), prefix + "-") {}
    const std::filesystem::path& Path() const { return fFolder.Path(); }

private:
    // The system's temporary folder, or EFileError saying what is wrong with
    // it. An empty TMPDIR counts as unset, as the shell's `TMPDIR=` means.
    static std::filesystem::path TemporaryFolder()
    {
        const char* set = std::getenv("TMPDIR");
        const std::string named = set && *set ? set : "/tmp";
        std::error_code ec;
        if (std::filesystem::is_directory(named, ec))
            return named;
        const bool exists = std::filesystem::exists(named, ec);
        throw EFileError("The temporary folder " + named + (exists ? " is not a folder" : " does not exist") +
                         "; set TMPDIR to a folder you can write to.");
    }

    LockedFolder fFolder;
};
