#pragma once
#include <string>

// The desktop's "open": a web address or a file with its associated program.
// False when the desktop could not hand it to anything.
class Shell {
public:
    virtual ~Shell() = default;
    virtual bool OpenAddress(const std::string& url) = 0;
    virtual bool OpenFile(const std::string& path) = 0;
};

// Programs are started, other files opened with the desktop's program for them.
class QtShell : public Shell {
public:
    bool OpenAddress(const std::string& url) override;
    bool OpenFile(const std::string& path) override;
};
