#pragma once
#include <iosfwd>

#include "link/Dialogs.h"

// Dialogs for a terminal with nobody to answer: message boxes are printed on
// the error stream and take their first, affirmative answer (OK, Yes); file
// and folder dialogs take the proposed name, the comment prompt the proposed
// comment. Nothing waits for input, so scripts never hang.
class ConsoleDialogs : public Dialogs {
public:
    explicit ConsoleDialogs(std::ostream& err) : fErr(err) {}

    MsgResult MessageBox(const std::string& text, const std::string& caption, MsgIcon icon,
                         MsgButtons buttons) override;
    std::optional<std::string> SaveFileName(const FileDialogRequest& request) override;
    std::optional<std::string> OpenFileName(const FileDialogRequest& request) override;
    std::optional<std::string> PickDirectory(const std::string& title,
                                             const std::string& start) override;
    std::string PromptComment(const std::string& proposed) override;

private:
    std::ostream& fErr;
};

// The program's texts break lines with CR; a terminal wants LF.
std::string ConsoleText(const std::string& text);
