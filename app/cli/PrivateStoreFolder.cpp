#include "app/cli/PrivateStoreFolder.h"

#include <cstdlib>

#include "link/Exceptions.h"

PrivateStoreFolder::PrivateStoreFolder(const std::string& prefix)
{
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (!mkdtemp(pattern.data()))
        throw EFileError("Cannot create a temporary folder.");
    fPath = pattern;
}

PrivateStoreFolder::~PrivateStoreFolder()
{
    std::error_code ec;
    std::filesystem::remove_all(fPath, ec);
}
