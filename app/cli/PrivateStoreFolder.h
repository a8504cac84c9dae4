#pragma once
#include <filesystem>
#include <string>

// A temporary store folder of a command's own, so a command never touches the
// store of a running window. Removed with everything in it on destruction.
class PrivateStoreFolder {
public:
    explicit PrivateStoreFolder(const std::string& prefix);
    ~PrivateStoreFolder();
    PrivateStoreFolder(const PrivateStoreFolder&) = delete;
    PrivateStoreFolder& operator=(const PrivateStoreFolder&) = delete;
    const std::filesystem::path& Path() const { return fPath; }

private:
    std::filesystem::path fPath;
};
