#include "files/ReplacingFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

#include "link/Exceptions.h"

namespace fs = std::filesystem;

namespace {

fs::path FolderOf(const fs::path& p)
{
    return p.has_parent_path() ? p.parent_path() : fs::path(".");
}

// The kernel follows a link in a sticky folder anyone may write to only for
// the link's owner or the folder's owner: another user may have planted it.
// The save resolves links itself, so it keeps that rule itself.
void CheckMayFollow(const fs::path& shown, const fs::path& link)
{
    struct stat l {
    }, folder{};
    if (::lstat(link.c_str(), &l) != 0 || ::stat(FolderOf(link).c_str(), &folder) != 0)
        return;
    const bool shared = (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
    if (!shared || l.st_uid == ::geteuid() || l.st_uid == folder.st_uid)
        return;
    throw EFileError("Cannot save to " + shown.string() + ": " + link.string() +
                     " is a symbolic link another user (uid " + std::to_string(l.st_uid) +
                     ") owns in a shared folder; it is not followed, and nothing was written.");
}

// Follows a chain of symbolic links, also one that ends at a file not yet there.
fs::path ResolveLinks(const fs::path& shown)
{
    fs::path p = shown;
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(p, ec)))
            return p;
        CheckMayFollow(shown, p);
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

std::string KindOf(mode_t mode)
{
    if (S_ISFIFO(mode))
        return "a FIFO";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "a device";
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISSOCK(mode))
        return "a socket";
    return "a special file";
}

// Throws unless what `real` names is a regular file or nothing yet.
void CheckRegular(const fs::path& shown, const fs::path& real)
{
    struct stat st {};
    if (::stat(real.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        throw EFileError("Cannot save to " + shown.string() + ": it is " + KindOf(st.st_mode) +
                         ", not a regular file; nothing was written.");
}

// A part-file name beside the target that no one can guess ahead.
fs::path PartName(const fs::path& real)
{
    static std::mt19937_64 random{std::random_device{}() ^ static_cast<uint64_t>(::getpid())};
    char suffix[20];
    std::snprintf(suffix, sizeof suffix, "%016llx", static_cast<unsigned long long>(random()));
    return FolderOf(real) / ("." + real.filename().string() + "." + suffix + ".linkwise-part");
}

}  // namespace

bool ReplacingFile::FdBuffer::Flush()
{
    const char* p = pbase();
    auto left = static_cast<size_t>(pptr() - pbase());
    while (left > 0 && fError == 0) {
        const ssize_t written = ::write(fFd, p, left);
        if (written < 0) {
            if (errno != EINTR)
                fError = errno;
            continue;
        }
        p += written;
        left -= static_cast<size_t>(written);
    }
    setp(fBuffer, fBuffer + sizeof fBuffer);
    return fError == 0;
}

ReplacingFile::FdBuffer::int_type ReplacingFile::FdBuffer::overflow(int_type c)
{
    if (!Flush())
        return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

// The writer goes back to fill in sizes it learns later.
ReplacingFile::FdBuffer::pos_type ReplacingFile::FdBuffer::seekoff(off_type off, std::ios_base::seekdir dir,
                                                                   std::ios_base::openmode)
{
    if (!Flush())
        return pos_type(off_type(-1));
    const int whence = dir == std::ios_base::beg ? SEEK_SET : dir == std::ios_base::cur ? SEEK_CUR : SEEK_END;
    const off_t at = ::lseek(fFd, off, whence);
    return at < 0 ? pos_type(off_type(-1)) : pos_type(off_type(at));
}

void ReplacingFile::CheckTarget(const std::string& target)
{
    CheckRegular(target, ResolveLinks(target));
}

ReplacingFile::ReplacingFile(const std::string& target) : fShown(target), fReal(ResolveLinks(target))
{
    CheckRegular(fShown, fReal);
    const fs::path folder = FolderOf(fReal);
#ifdef O_TMPFILE
    // An unnamed file gets its name only when complete (LinkUnnamedPart).
    if (::access("/proc/self/fd", X_OK) == 0)
        fFd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
#endif
    int error = 0;
    for (int attempt = 0; fFd < 0 && attempt < 100; ++attempt) {
        fPart = PartName(fReal);
        // Exclusive and without following links: a link planted at the
        // name cannot redirect the write.
        fFd = ::open(fPart.c_str(), O_CREAT | O_EXCL | O_NOFOLLOW | O_WRONLY | O_CLOEXEC, 0666);
        error = errno;
        if (fFd < 0 && error != EEXIST)
            break;
    }
    if (fFd < 0) {
        fPart.clear();
        throw EFileError("Cannot create a file in " + folder.string() + ": " + Reason(error) + ".");
    }
    fBuffer = std::make_unique<FdBuffer>(fFd);
    fOut.rdbuf(fBuffer.get());
}

ReplacingFile::~ReplacingFile()
{
    if (fFd >= 0)
        ::close(fFd);
    if (!fDone && !fPart.empty())
        ::unlink(fPart.c_str());
}

void ReplacingFile::LinkUnnamedPart()
{
    const std::string self = "/proc/self/fd/" + std::to_string(fFd);
    int error = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path name = PartName(fReal);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            fPart = name;
            return;
        }
        error = errno;
        if (error != EEXIST)
            break;
    }
    throw EFileError("Cannot create a file in " + FolderOf(fReal).string() + ": " + Reason(error) + ".");
}

void ReplacingFile::Commit()
{
    fOut.flush();
    int error = fBuffer->Flush() ? 0 : fBuffer->Error();
    // A full disk may only show when the data reach it.
    if (!error && ::fsync(fFd) != 0)
        error = errno;
    if (error)
        throw EFileError("Cannot write " + fShown.string() + ": " + Reason(error) + ".");

    struct stat old {};
    if (::stat(fReal.c_str(), &old) == 0) {
        // Something else may have been put there while the part was written.
        CheckRegular(fShown, fReal);
        // The owner stays too where that is allowed (an administrator saving
        // over a user's file); otherwise the new file is the saver's. The
        // mode comes after, as a change of owner clears set-id bits.
        (void)!::fchown(fFd, old.st_uid, old.st_gid);
        ::fchmod(fFd, old.st_mode & 07777);
    }
    if (fPart.empty())
        LinkUnnamedPart();
    if (::rename(fPart.c_str(), fReal.c_str()) != 0)
        throw EFileError("Cannot replace " + fShown.string() + ": " + Reason(errno) + ".");
    fDone = true;
}
