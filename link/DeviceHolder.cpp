#include "link/DeviceHolder.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// "minicom (process 4242)", or empty when the process is gone.
std::string ProcessName(long pid)
{
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    if (!std::getline(comm, name))
        return {};
    // Any program may name itself: no control character reaches a terminal.
    for (char& c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = '?';
    return name + " (process " + std::to_string(pid) + ")";
}

// The process in the device's UUCP-style lock file, as minicom and friends
// leave it.
std::string LockFileHolder(const std::string& device)
{
    const std::string base = fs::path(device).filename().string();
    for (const char* folder : {"/run/lock/", "/var/lock/"}) {
        std::ifstream lock(folder + std::string("LCK..") + base);
        long pid = 0;
        if (lock >> pid && pid > 0 && pid != ::getpid())
            if (std::string name = ProcessName(pid); !name.empty())
                return name;
    }
    return {};
}

// Whether the open file `fd` of `process` holds a flock() lock, as a
// program that claims a line (Linkwise among them) does.
bool HoldsLock(const fs::path& process, const fs::path& fd)
{
    std::ifstream info(process / "fdinfo" / fd.filename());
    for (std::string line; std::getline(info, line);)
        if (line.rfind("lock:", 0) == 0 && line.find("FLOCK") != std::string::npos)
            return true;
    return false;
}

// A process of this user with the device open, the one holding its lock
// first. Only serial lines, pseudo-terminals and parallel ports are looked
// for: everybody holds /dev/null. The program at a pseudo-terminal's far end
// keeps it open without using it, so there only a lock counts.
std::string OpenFileHolder(const std::string& device)
{
    struct stat target {};
    if (::stat(device.c_str(), &target) != 0 || !S_ISCHR(target.st_mode))
        return {};
    // A pseudo-terminal's slave (majors 136 to 143) has no entry in /sys.
    const unsigned kind = major(target.st_rdev);
    const bool pseudoTerminal = kind >= 136 && kind <= 143;
    if (!pseudoTerminal) {
        std::error_code classError;
        const std::string subsystem = fs::read_symlink("/sys/dev/char/" + std::to_string(major(target.st_rdev)) + ":" +
                                                           std::to_string(minor(target.st_rdev)) + "/subsystem",
                                                       classError)
                                          .filename()
                                          .string();
        if (subsystem != "tty" && subsystem != "ppdev" && subsystem != "parport")
            return {};
    }
    long firstHolder = 0;
    std::error_code ec;
    for (const auto& process : fs::directory_iterator("/proc", ec)) {
        const std::string pidText = process.path().filename().string();
        if (pidText.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const long pid = std::stol(pidText);
        if (pid == ::getpid())
            continue;
        std::error_code fdError;
        for (const auto& fd : fs::directory_iterator(process.path() / "fd", fdError)) {
            struct stat st {};
            if (::stat(fd.path().c_str(), &st) != 0 || !S_ISCHR(st.st_mode) || st.st_rdev != target.st_rdev)
                continue;
            if (HoldsLock(process.path(), fd.path()))
                return ProcessName(pid);
            if (!pseudoTerminal && firstHolder == 0)
                firstHolder = pid;
        }
    }
    return firstHolder ? ProcessName(firstHolder) : std::string();
}

}  // namespace

std::string DeviceHolder(const std::string& device)
{
    if (device.rfind("usb", 0) == 0)
        return {};
    if (std::string holder = LockFileHolder(device); !holder.empty())
        return holder;
    return OpenFileHolder(device);
}
