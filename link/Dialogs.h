#pragma once
#include <optional>
#include <string>
#include <vector>

enum class MsgIcon { None, Information, Warning, Error, Question };
// YesNoAll adds "Yes to all", "No to all" and Cancel to Yes and No; SaveDiscardCancel
// is the question before unsaved work is closed.
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, YesNoAll, SaveDiscardCancel };
enum class MsgResult { Ok, Cancel, Yes, No, YesToAll, NoToAll, Save, Discard };

struct FileDialogRequest {
    std::string title;
    std::string initialDir;
    std::string fileName;          // proposed name
    std::string filter;            // Qt filter text, e.g. "Text files (*.92t);;All files (*)"
    std::string defaultExtension;  // without the dot
};

// Every modal dialog of the program goes through this one seam, so tests can
// answer them with scripted replies and no test ever blocks on a window.
// Texts keep the program's "\r" line breaks; the Qt implementation turns
// each CR into a line break.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual MsgResult MessageBox(const std::string& text, const std::string& caption, MsgIcon icon,
                                 MsgButtons buttons) = 0;
    // The path chosen, or nothing when the user cancelled.
    virtual std::optional<std::string> SaveFileName(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> OpenFileName(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> PickDirectory(const std::string& title, const std::string& start) = 0;
    // The comment prompt of a save: returns the comment the user accepted.
    virtual std::string PromptComment(const std::string& proposed) = 0;
    // The same prompt with its headline ("Enter a comment for "x.92g":");
    // implementations that show no headline fall back to the prompt above.
    virtual std::string PromptCommentFor(const std::string& headline, const std::string& proposed)
    {
        (void)headline;
        return PromptComment(proposed);
    }
    // The same prompt with a Cancel that cancels the save: nothing when the
    // user closed it without OK. Implementations that cannot cancel answer
    // the prompt above.
    virtual std::optional<std::string> AskComment(const std::string& headline, const std::string& proposed)
    {
        return PromptCommentFor(headline, proposed);
    }
    // The question whether to send a Fargo program's libraries, under the
    // given caption. The result: 1 for Yes or 2 for No, plus 10 when "always
    // say Yes" or 20 when "always say No" is chosen. Implementations without
    // those choices ask a plain Yes/No question.
    virtual int FargoLibraryQuestion(const std::string& caption)
    {
        return MessageBox(kFargoQuestionText, caption, MsgIcon::Question, MsgButtons::YesNo) == MsgResult::Yes ? 1 : 2;
    }
    // A line of text: `prompt` above a field holding `proposed`. Nothing when
    // the user cancelled; implementations that cannot ask answer nothing.
    virtual std::optional<std::string> AskText(const std::string& caption, const std::string& prompt,
                                               const std::string& proposed)
    {
        (void)caption, (void)prompt, (void)proposed;
        return std::nullopt;
    }
    static constexpr const char* kFargoQuestionText =
        "This file is a Fargo-program!\rThis program requires some fargo libraries. Do you want "
        "to send these?";
};

// Convenience for the common OK box with an icon.
inline void ShowMessage(Dialogs& d, const std::string& text, MsgIcon icon = MsgIcon::None,
                        const std::string& caption = "Linkwise")
{
    d.MessageBox(text, caption, icon, MsgButtons::Ok);
}
