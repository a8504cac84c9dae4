#pragma once
#include <QPointer>
#include <QWidget>

#include "link/Dialogs.h"

class FargoLibraryDialog;

// The dialogs of the program as Qt windows; "\r" in texts becomes a line break.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr);
    ~QtDialogs() override;
    void SetParent(QWidget* parent) { fParent = parent; }
    // Boxes open over the program's active window (a box raised while the
    // remote keyboard sends belongs to it); with none active, over the parent.
    QWidget* DialogParent() const;

    MsgResult MessageBox(const std::string& text, const std::string& caption, MsgIcon icon,
                         MsgButtons buttons) override;
    std::optional<std::string> SaveFileName(const FileDialogRequest& request) override;
    std::optional<std::string> OpenFileName(const FileDialogRequest& request) override;
    std::optional<std::string> PickDirectory(const std::string& title, const std::string& start) override;
    std::string PromptComment(const std::string& proposed) override;
    std::string PromptCommentFor(const std::string& headline, const std::string& proposed) override;
    std::optional<std::string> AskComment(const std::string& headline, const std::string& proposed) override;
    int FargoLibraryQuestion(const std::string& caption) override;
    std::optional<std::string> AskText(const std::string& caption, const std::string& prompt,
                                       const std::string& proposed) override;

private:
    QPointer<QWidget> fParent;
    FargoLibraryDialog* fFargoQuestion = nullptr;  // kept: its "always" choice lasts for the run
};

// An error box's text: what went wrong and the message (which names the
// device or file) in the box, the error's class in its details.
struct ErrorBoxText {
    std::string text;
    std::string details;  // empty: no details
};
ErrorBoxText SplitErrorDetails(const std::string& text);

// Where the folder chooser opens: `start`, or the nearest folder above it
// that still exists; the home folder when none does or none is given.
QString FolderChooserStart(const QString& start);

// "\r\n", "\r" and "\n" as the line breaks of a dialog.
QString DialogText(const std::string& text);

// The extension of a filter's first pattern: "png" for "PNG images (*.png)";
// empty for "All files (*)".
QString SuffixOfFilter(const QString& filter);
