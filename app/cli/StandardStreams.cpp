#include "app/cli/StandardStreams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <streambuf>

namespace {

// Standard output's buffer while descriptor 1 was closed at start: every
// write fails and is remembered.
class RefusingBuffer : public std::streambuf {
public:
    bool Written() const { return fWritten; }

protected:
    int_type overflow(int_type) override
    {
        fWritten = true;
        return traits_type::eof();
    }
    std::streamsize xsputn(const char*, std::streamsize count) override
    {
        fWritten = fWritten || count > 0;
        return 0;
    }

private:
    bool fWritten = false;
};

RefusingBuffer gRefusing;
bool gOutputClosed = false;

}  // namespace

namespace standardstreams {

void Secure()
{
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        // The lowest free number: this one, as the lower ones are open by now.
        if (open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY) != fd)
            continue;
        if (fd == 1) {
            gOutputClosed = true;
            std::cout.rdbuf(&gRefusing);
        }
    }
}

bool Finish(std::string& why)
{
    if (gOutputClosed) {
        why = "standard output is closed";
        return !gRefusing.Written();
    }
    // The first failing call sets errno; a later one may not.
    errno = 0;
    std::cout.flush();
    const int streamError = errno;
    const bool streamOk = static_cast<bool>(std::cout);
    const bool flushed = std::fflush(stdout) == 0;
    const int error = streamError ? streamError : errno;
    if (!streamOk || !flushed || std::ferror(stdout)) {
        why = error ? std::strerror(error) : "the data could not be written";
        return false;
    }
    if (std::fclose(stdout) != 0) {
        why = std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace standardstreams
