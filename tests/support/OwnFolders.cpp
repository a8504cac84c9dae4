#include "tests/support/OwnFolders.h"

#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

namespace fs = std::filesystem;

OwnFolders::OwnFolders()
{
    const char* parent = std::getenv("TMPDIR");
    std::string pattern = std::string(parent && *parent ? parent : "/tmp") + "/linkwise-tests.XXXXXX";
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a folder for the tests in " + pattern + ": " + std::strerror(errno));
    fRoot = pattern;
    const struct {
        const char* variable;
        const char* folder;
    } kFolders[] = {{"XDG_DATA_HOME", "data"},
                    {"XDG_DATA_DIRS", "system-data"},
                    {"XDG_CONFIG_HOME", "config"},
                    {"XDG_CONFIG_DIRS", "system-config"},
                    {"TMPDIR", "tmp"}};
    for (const auto& f : kFolders) {
        const fs::path path = fRoot / f.folder;
        fs::create_directories(path);
        setenv(f.variable, path.c_str(), 1);
    }
}

OwnFolders::~OwnFolders()
{
    std::error_code ec;
    fs::remove_all(fRoot, ec);
}
