#pragma once
#include <string>

// The desktop's "open": a web address or a file with its associated program.
class Shell {
public:
    virtual ~Shell() = default;
    virtual void OpenAddress(const std::string& url) = 0;
    virtual void OpenFile(const std::string& path) = 0;
};

class QtShell : public Shell {
public:
    void OpenAddress(const std::string& url) override;
    void OpenFile(const std::string& path) override;
};
