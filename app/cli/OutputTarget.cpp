#include "app/cli/OutputTarget.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <ostream>

#include "app/cli/CliCommands.h"
#include "files/ReplacingFile.h"
#include "link/Exceptions.h"

namespace fs = std::filesystem;

bool WritableFolder(const fs::path& folder, std::string& why)
{
    std::error_code ec;
    const fs::file_status st = fs::status(folder, ec);
    if (!fs::exists(st)) {
        why = "the folder " + folder.string() + " does not exist";
        return false;
    }
    if (!fs::is_directory(st)) {
        why = folder.string() + " is not a folder";
        return false;
    }
    if (access(folder.c_str(), W_OK | X_OK) != 0) {
        why = "the folder " + folder.string() + " is not writable (" + std::strerror(errno) + ")";
        return false;
    }
    return true;
}

OutputTarget OutputTarget::Check(const std::string& option, bool standardOutputIsTerminal)
{
    OutputTarget t;
    if (option == "-") {
        if (standardOutputIsTerminal)
            throw CliUsageError("will not write a file to a terminal; redirect standard output or name a file");
        t.kind = Kind::StandardOutput;
        return t;
    }
    std::string why;
    std::error_code ec;
    t.path = option;
    if (fs::is_directory(t.path, ec) || option.back() == '/')
        return Folder(option);
    fs::path folder = t.path.parent_path();
    if (folder.empty())
        folder = ".";
    if (!WritableFolder(folder, why))
        throw EFileError("cannot write " + option + ": " + why);
    if (fs::exists(t.path, ec) && access(t.path.c_str(), W_OK) != 0)
        throw EFileError("cannot write " + option + ": " + std::strerror(errno));
    // A FIFO or device is never replaced by the file.
    ReplacingFile::CheckTarget(option);
    return t;
}

OutputTarget OutputTarget::Folder(const std::string& option)
{
    OutputTarget t;
    t.kind = Kind::Folder;
    t.path = option;
    std::error_code ec;
    fs::create_directories(t.path, ec);
    if (ec && !fs::exists(t.path))
        throw EFileError("cannot save into " + option + ": the folder cannot be made (" + ec.message() + ")");
    std::string why;
    if (!WritableFolder(t.path, why))
        throw EFileError("cannot save into " + option + ": " + why);
    return t;
}

fs::path OutputTarget::FileFor(const std::string& name, const std::string& extension) const
{
    if (kind == Kind::Folder)
        return path / (name + "." + extension);
    return path;
}

bool CopyToStream(const fs::path& file, std::ostream& out)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return false;
    out << in.rdbuf();
    out.flush();
    return static_cast<bool>(out);
}
