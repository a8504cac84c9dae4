#pragma once
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "link/Dialogs.h"

// Answers dialogs from a script. Every dialog shown is recorded; a dialog with
// no scripted answer left fails the running test (message boxes with only an
// OK button are answered OK without a script entry unless `strict` is set).
class ScriptedDialogs : public Dialogs {
public:
    struct Shown {
        std::string kind;  // "message", "save", "open", "directory", "comment", "fargo", "input"
        std::string text;  // message text, dialog title or proposed comment
        MsgIcon icon = MsgIcon::None;
        MsgButtons buttons = MsgButtons::Ok;
        FileDialogRequest request;
    };
    // One scripted answer; `kind` says which dialog it is meant for.
    struct Answer {
        enum class Kind { Message, File, Text, Fargo, Input } kind = Kind::Message;
        MsgResult result = MsgResult::Ok;
        std::optional<std::string> file;
        std::string text;
        int fargoResult = 0;
    };

    void ExpectMessage(MsgResult r) { fScript.push_back({Answer::Kind::Message, r, {}, {}}); }
    void ExpectFile(std::optional<std::string> path)
    {
        fScript.push_back({Answer::Kind::File, MsgResult::Ok, std::move(path), {}});
    }
    void ExpectComment(std::string comment)
    {
        fScript.push_back({Answer::Kind::Text, MsgResult::Ok, {}, std::move(comment)});
    }
    // The comment dialog closed by Cancel.
    void ExpectCommentCancel() { fScript.push_back({Answer::Kind::Text, MsgResult::Cancel, {}, {}}); }
    // The answer to AskText: the text, or nothing for Cancel.
    void ExpectInput(std::optional<std::string> text)
    {
        fScript.push_back({Answer::Kind::Input, MsgResult::Ok, std::move(text), {}});
    }
    // The Fargo library question's result: 1 Yes, 2 No, + 10 always yes, + 20 always no.
    void ExpectFargo(int result) { fScript.push_back({Answer::Kind::Fargo, MsgResult::Ok, {}, {}, result}); }
    bool AllAnswered() const { return fScript.empty(); }

    MsgResult MessageBox(const std::string& text, const std::string& caption, MsgIcon icon,
                         MsgButtons buttons) override;
    std::optional<std::string> SaveFileName(const FileDialogRequest& request) override;
    std::optional<std::string> OpenFileName(const FileDialogRequest& request) override;
    std::optional<std::string> PickDirectory(const std::string& title, const std::string& start) override;
    std::string PromptComment(const std::string& proposed) override;
    // Recorded like PromptComment, with the headline in request.title.
    std::string PromptCommentFor(const std::string& headline, const std::string& proposed) override;
    // Recorded like PromptCommentFor; nothing for ExpectCommentCancel.
    std::optional<std::string> AskComment(const std::string& headline, const std::string& proposed) override;
    // Recorded as kind "fargo" with the caption as text.
    int FargoLibraryQuestion(const std::string& caption) override;
    // Recorded as kind "input" with the prompt as text, the caption as request.title
    // and the proposal as request.fileName.
    std::optional<std::string> AskText(const std::string& caption, const std::string& prompt,
                                       const std::string& proposed) override;

    std::vector<Shown> shown;
    bool strict = false;
    // Texts of the message boxes shown, in order.
    std::vector<std::string> Messages() const;

private:
    Answer Next(Answer::Kind expected, const char* kind);
    std::deque<Answer> fScript;
};
