#pragma once
#include <filesystem>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>

// A new version of a file, written beside it and put in its place only when
// complete, so a failed or interrupted save leaves the old file as it was.
// A symbolic link is followed: the file it points to is replaced and the link
// stays; as the kernel does, not one that another user owns in a sticky
// folder anyone may write to (unless that user owns the folder).
// The replaced file's permissions (and, where allowed, owner) are kept.
// Only a regular file (or a link to one) is ever replaced: a FIFO, a device
// or a folder given as the target is refused before anything is written.
// The part file is made under a name nobody can have planted a link at: an
// unnamed file in the target's folder where the file system allows, else a
// fresh name created exclusively; two saves to one target at once each
// replace it whole. Failures throw EFileError naming the file and the
// system's reason.
class ReplacingFile {
public:
    explicit ReplacingFile(const std::string& target);
    ~ReplacingFile();  // removes the unfinished part unless committed
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Throws EFileError when `target` exists and is not a regular file (or a
    // link to one), so a command can refuse it before any work.
    static void CheckTarget(const std::string& target);

    std::ostream& Stream() { return fOut; }
    // Flushes the part to the disk and renames it over the target.
    void Commit();
    // The file that is replaced: the target with its links resolved.
    const std::filesystem::path& RealTarget() const { return fReal; }

private:
    class FdBuffer : public std::streambuf {
    public:
        explicit FdBuffer(int fd) : fFd(fd) { setp(fBuffer, fBuffer + sizeof fBuffer); }
        bool Flush();
        int Error() const { return fError; }

    protected:
        int_type overflow(int_type c) override;
        int sync() override { return Flush() ? 0 : -1; }
        pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode which) override;
        pos_type seekpos(pos_type pos, std::ios_base::openmode which) override
        {
            return seekoff(off_type(pos), std::ios_base::beg, which);
        }

    private:
        int fFd;
        int fError = 0;
        char fBuffer[1 << 16];
    };

    void LinkUnnamedPart();

    std::filesystem::path fShown;  // the name the user chose, for messages
    std::filesystem::path fReal;
    std::filesystem::path fPart;  // empty while the part has no name
    int fFd = -1;
    std::unique_ptr<FdBuffer> fBuffer;
    std::ostream fOut{nullptr};
    bool fDone = false;
};
