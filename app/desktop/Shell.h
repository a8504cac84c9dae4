#pragma once
#include <string>

// The desktop: "open" for a web address or a file with its associated
// program (false when the desktop could not hand it to anything), and the
// registration of the TI-92 file types.
class Shell {
public:
    virtual ~Shell() = default;
    virtual bool OpenAddress(const std::string& url) = 0;
    virtual bool OpenFile(const std::string& path) = 0;
    // Whether Linkwise opens TI-92 program files by default.
    virtual bool FileTypesRegistered() = 0;
    virtual void RegisterFileTypes() = 0;
};

// The freedesktop desktop of the user running the program. Programs are
// started, other files opened with the desktop's program for them.
class QtShell : public Shell {
public:
    bool OpenAddress(const std::string& url) override;
    bool OpenFile(const std::string& path) override;
    bool FileTypesRegistered() override;
    void RegisterFileTypes() override;
};
