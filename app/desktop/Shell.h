#pragma once
#include <string>

// The desktop: "open" for a web address or a file with its associated
// program (false when the desktop could not hand it to anything), and the
// user's own registration of the TI-92 file types, made only on request.
class Shell {
public:
    virtual ~Shell() = default;
    virtual bool OpenAddress(const std::string& url) = 0;
    virtual bool OpenFile(const std::string& path) = 0;
    // Whether the user's own registration is there.
    virtual bool FileTypesRegistered() = 0;
    // Both throw EFileError naming a file that cannot be written or removed.
    virtual void RegisterFileTypes() = 0;
    virtual void UnregisterFileTypes() = 0;
    // The system data folder holding an installed package's entries; empty
    // when there is none and a registration of the user's own is needed.
    virtual std::string InstalledEntriesFolder() = 0;
};

// The freedesktop desktop of the user running the program. Programs are
// started, other files opened with the desktop's program for them.
class QtShell : public Shell {
public:
    bool OpenAddress(const std::string& url) override;
    bool OpenFile(const std::string& path) override;
    bool FileTypesRegistered() override;
    void RegisterFileTypes() override;
    void UnregisterFileTypes() override;
    std::string InstalledEntriesFolder() override;
};
