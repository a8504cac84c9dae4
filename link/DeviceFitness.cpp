#include "link/DeviceFitness.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// What a node is when stat() alone tells that it is no device.
std::string UnfitKind(const struct stat& st, bool parallel)
{
    if (S_ISREG(st.st_mode))
        return "a regular file, not a " + std::string(parallel ? "parallel port" : "serial line");
    if (S_ISDIR(st.st_mode))
        return "a folder, not a device";
    if (!S_ISCHR(st.st_mode))
        return "not a character device";
    return {};
}

}  // namespace

std::string UnfitNode(int fd, bool parallel)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return {};
    if (std::string unfit = UnfitKind(st, parallel); !unfit.empty())
        return unfit;
    const bool tty = ::isatty(fd) == 1;
    if (parallel)
        return tty ? "a serial line, not a parallel port" : "";
    return tty ? "" : "a character device that is no serial line";
}

std::string UnfitPath(const std::string& path, bool parallel)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? UnfitKind(st, parallel) : std::string();
}

std::string UnfitDevice(const std::string& path, bool parallel)
{
    // Only a character device is opened to look at it: a FIFO is not touched.
    if (std::string unfit = UnfitPath(path, parallel); !unfit.empty())
        return unfit;
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {};
    std::string unfit = UnfitNode(fd, parallel);
    ::close(fd);
    return unfit;
}
