#include "app/desktop/ProcessStoreFolder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "link/Exceptions.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kLockName = ".lock";

// True when no running program holds the folder's lock.
bool Abandoned(const fs::path& folder)
{
    const int fd = ::open((folder / kLockName).c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        // Without a lock the folder is either being created right now or
        // left by a crash in between; only an old one is abandoned.
        std::error_code ec;
        const auto age = fs::file_time_type::clock::now() - fs::last_write_time(folder, ec);
        return !ec && age > std::chrono::minutes(1);
    }
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return free;
}

void RemoveAbandoned(const fs::path& stores)
{
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(stores, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("store-", 0) == 0 && entry.is_directory(ec) && Abandoned(entry.path()))
            fs::remove_all(entry.path(), ec);
    }
}

}  // namespace

ProcessStoreFolder::ProcessStoreFolder(const fs::path& parent)
{
    const fs::path stores = parent / "stores";
    std::error_code ec;
    fs::create_directories(stores, ec);
    RemoveAbandoned(stores);
    std::string pattern = (stores / "store-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw EFileError("Cannot create the temporary folder in " + stores.string() + ".");
    const fs::path folder = pattern;
    fLock = ::open((folder / kLockName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fLock < 0 || ::flock(fLock, LOCK_EX | LOCK_NB) != 0) {
        if (fLock >= 0)
            ::close(fLock);
        fs::remove_all(folder, ec);
        throw EFileError("Cannot lock the temporary folder " + folder.string() + ".");
    }
    fPath = folder / "";
}

ProcessStoreFolder::~ProcessStoreFolder()
{
    std::error_code ec;
    fs::remove_all(fPath, ec);
    ::close(fLock);
}
