#pragma once
#include <filesystem>
#include <string>

// A scratch folder of one running program: <parent>/<prefix>XXXXXX, holding
// a lock (flock on a file inside) for as long as the program runs. The
// kernel drops the lock however the program ends, so a folder of the same
// prefix whose lock nobody holds was left by a run that was killed: such
// folders are removed before a new one is made. Removed with its content on
// destruction.
class LockedFolder {
public:
    LockedFolder(const std::filesystem::path& parent, const std::string& prefix);
    ~LockedFolder();
    LockedFolder(const LockedFolder&) = delete;
    LockedFolder& operator=(const LockedFolder&) = delete;

    const std::filesystem::path& Path() const { return fPath; }

private:
    std::filesystem::path fPath;
    int fLock = -1;
};
