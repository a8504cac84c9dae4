#include "files/ReplacingFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "link/Exceptions.h"

namespace fs = std::filesystem;

namespace {

// Follows a chain of symbolic links, also one that ends at a file not yet there.
fs::path ResolveLinks(fs::path p)
{
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(p, ec)))
            return p;
        fs::path next = fs::read_symlink(p, ec);
        if (ec)
            return p;
        p = next.is_absolute() ? next : p.parent_path() / next;
    }
    throw EFileError("Cannot save to " + p.string() + ": too many levels of symbolic links.");
}

std::string Reason(int error)
{
    return std::strerror(error);
}

}  // namespace

ReplacingFile::ReplacingFile(const std::string& target) : fShown(target), fReal(ResolveLinks(target))
{
    fPart = fReal.parent_path() / ("." + fReal.filename().string() + ".linkwise-part");
    errno = 0;
    fOut.open(fPart, std::ios::binary | std::ios::trunc);
    if (!fOut)
        throw EFileError("Cannot create a file in " +
                         (fReal.has_parent_path() ? fReal.parent_path().string() : std::string(".")) + ": " +
                         Reason(errno) + ".");
}

ReplacingFile::~ReplacingFile()
{
    if (!fDone) {
        fOut.close();
        std::error_code ignored;
        fs::remove(fPart, ignored);
    }
}

void ReplacingFile::Commit()
{
    errno = 0;
    fOut.close();   // flushes what is buffered
    int error = fOut ? 0 : (errno ? errno : EIO);
    // A full disk may only show when the data reach it.
    if (!error) {
        const int fd = ::open(fPart.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 || ::fsync(fd) != 0)
            error = errno;
        if (fd >= 0)
            ::close(fd);
    }
    if (error)
        throw EFileError("Cannot write " + fShown.string() + ": " + Reason(error) + ".");

    struct stat old{};
    if (::stat(fReal.c_str(), &old) == 0) {
        ::chmod(fPart.c_str(), old.st_mode & 07777);
        // The owner stays too where that is allowed (an administrator saving
        // over a user's file); otherwise the new file is the saver's.
        (void)!::chown(fPart.c_str(), old.st_uid, old.st_gid);
    }
    if (::rename(fPart.c_str(), fReal.c_str()) != 0)
        throw EFileError("Cannot replace " + fShown.string() + ": " + Reason(errno) + ".");
    fDone = true;
}
