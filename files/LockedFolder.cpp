#include "files/LockedFolder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

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

// Only our own folders: the parent may be a temporary folder shared by all.
bool Ours(const fs::path& folder)
{
    struct stat st {};
    return ::lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid();
}

void RemoveAbandoned(const fs::path& parent, const std::string& prefix)
{
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(parent, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) == 0 && Ours(entry.path()) && Abandoned(entry.path()))
            fs::remove_all(entry.path(), ec);
    }
}

}  // namespace

LockedFolder::LockedFolder(const fs::path& parent, const std::string& prefix)
{
    std::error_code ec;
    fs::create_directories(parent, ec);
    std::string pattern = (parent / (prefix + "XXXXXX")).string();
    if (!::mkdtemp(pattern.data()))
        throw EFileError("Cannot create a temporary folder in " + parent.string() + ".");
    const fs::path folder = pattern;
    fLock = ::open((folder / kLockName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fLock < 0 || ::flock(fLock, LOCK_EX | LOCK_NB) != 0) {
        if (fLock >= 0)
            ::close(fLock);
        fs::remove_all(folder, ec);
        throw EFileError("Cannot lock the temporary folder " + folder.string() + ".");
    }
    fPath = folder;
    // After our own is made and locked, so there is never a moment without one.
    RemoveAbandoned(parent, prefix);
}

LockedFolder::~LockedFolder()
{
    std::error_code ec;
    fs::remove_all(fPath, ec);
    ::close(fLock);
}
