#pragma once
#include <atomic>
#include <cstdint>
#include <stdexcept>
#include <string>

// Base of every error the program raises; dialogs show the class name.
class ELinkwiseError : public std::runtime_error {
public:
    explicit ELinkwiseError(const std::string& message) : std::runtime_error(message) { ++sRaised; }
    virtual const char* ClassName() const = 0;
    // How many have been raised so far: the link asks whether a conversation
    // failed in any way (a damaged or refused reply, a file error halfway)
    // and may have left the calculator talking.
    static uint64_t Raised() { return sRaised.load(); }

private:
    static inline std::atomic<uint64_t> sRaised{0};
};

#define LINKWISE_ERROR_CLASS(Name)                                                                                     \
    class Name : public ELinkwiseError {                                                                               \
    public:                                                                                                            \
        explicit Name(const std::string& message) : ELinkwiseError(message) {}                                         \
        const char* ClassName() const override { return #Name; }                                                       \
    };

LINKWISE_ERROR_CLASS(ELinkError)        // link or cable failure, time-out
LINKWISE_ERROR_CLASS(EUserError)        // the user pressed Abort
LINKWISE_ERROR_CLASS(ECalculatorError)  // the calculator refused a step
LINKWISE_ERROR_CLASS(ESoftwareError)    // internal inconsistency
LINKWISE_ERROR_CLASS(EAbort)            // a file-list job stopped after a failed file
LINKWISE_ERROR_CLASS(EFileError)        // a file could not be read or written

#undef LINKWISE_ERROR_CLASS

// A reply that arrived damaged: a checksum that does not match, a wrong
// machine id, or a length or size no calculator sends. A link error, so
// whatever handles those ends the conversation on it too.
class EDamagedReply : public ELinkError {
public:
    explicit EDamagedReply(const std::string& message) : ELinkError(message) {}
    const char* ClassName() const override { return "EDamagedReply"; }
};

// Class name of any exception, for error dialogs and report lines.
std::string ErrorClassName(const std::exception& e);

// "Some error occured while <activity>!\r\rMore info:\rErrorclass: <class>\rMessage: \r<message>"
std::string ErrorDialogText(const std::string& activity, const std::exception& e);
