#pragma once
#include <exception>
#include <iosfwd>
#include <string>
#include <utility>

#include "link/Dialogs.h"

// Dialogs for a terminal with nobody to answer: message boxes are printed on
// the error stream and take their first, affirmative answer (OK, Yes); file
// and folder dialogs take the proposed name, the comment prompt the proposed
// comment. Nothing waits for input, so scripts never hang.
class ConsoleDialogs : public Dialogs {
public:
    // Messages start with `prefix` ("linkwise-cli: COMMAND: ").
    explicit ConsoleDialogs(std::ostream& err, std::string prefix = "linkwise-cli: ", bool verbose = false)
        : fErr(err), fPrefix(std::move(prefix)), fVerbose(verbose)
    {
    }

    MsgResult MessageBox(const std::string& text, const std::string& caption, MsgIcon icon,
                         MsgButtons buttons) override;
    std::optional<std::string> SaveFileName(const FileDialogRequest& request) override;
    std::optional<std::string> OpenFileName(const FileDialogRequest& request) override;
    std::optional<std::string> PickDirectory(const std::string& title, const std::string& start) override;
    std::string PromptComment(const std::string& proposed) override;

private:
    std::ostream& fErr;
    std::string fPrefix;
    bool fVerbose;
};

// The program's texts break lines with CR; a terminal wants LF.
std::string ConsoleText(const std::string& text);

// A message of several lines as one: "First line: second; third", without the
// first line's closing "!" and the bullets of the rest.
std::string OneLine(const std::string& text);
// A report line without the error class its text names ("An error
// (EFileError) occured" becomes "An error occured"), unless `verbose`.
std::string WithoutErrorClass(const std::string& line, bool verbose);
// An exception as "what failed: why", its class added with `verbose`.
std::string ConsoleErrorLine(const std::exception& e, bool verbose);
// An error dialog's text ("Some error occured while X!...Errorclass: C...
// Message: M") as "X failed: M", the class added with `verbose`; other texts
// as one line.
std::string ConsoleDialogLine(const std::string& text, bool verbose);
