#include "tests/support/ScriptedDialogs.h"

#include <gtest/gtest.h>

ScriptedDialogs::Answer ScriptedDialogs::Next(Answer::Kind expected, const char* kind)
{
    if (fScript.empty()) {
        ADD_FAILURE() << "unexpected " << kind << " dialog: " << shown.back().text;
        return Answer{expected, MsgResult::Cancel, std::nullopt, {}};
    }
    Answer a = std::move(fScript.front());
    fScript.pop_front();
    if (a.kind != expected)
        ADD_FAILURE() << "scripted answer does not fit the " << kind << " dialog: " << shown.back().text;
    return a;
}

MsgResult ScriptedDialogs::MessageBox(const std::string& text, const std::string&, MsgIcon icon, MsgButtons buttons)
{
    shown.push_back({"message", text, icon, buttons, {}});
    if (buttons == MsgButtons::Ok && !strict && (fScript.empty() || fScript.front().kind != Answer::Kind::Message))
        return MsgResult::Ok;
    return Next(Answer::Kind::Message, "message").result;
}

std::optional<std::string> ScriptedDialogs::SaveFileName(const FileDialogRequest& request)
{
    shown.push_back({"save", request.title, MsgIcon::None, MsgButtons::Ok, request});
    return Next(Answer::Kind::File, "save").file;
}

std::optional<std::string> ScriptedDialogs::OpenFileName(const FileDialogRequest& request)
{
    shown.push_back({"open", request.title, MsgIcon::None, MsgButtons::Ok, request});
    return Next(Answer::Kind::File, "open").file;
}

std::optional<std::string> ScriptedDialogs::PickDirectory(const std::string& title, const std::string& start)
{
    FileDialogRequest r;
    r.title = title;
    r.initialDir = start;
    shown.push_back({"directory", title, MsgIcon::None, MsgButtons::Ok, r});
    return Next(Answer::Kind::File, "directory").file;
}

std::string ScriptedDialogs::PromptComment(const std::string& proposed)
{
    shown.push_back({"comment", proposed, MsgIcon::None, MsgButtons::Ok, {}});
    return Next(Answer::Kind::Text, "comment").text;
}

std::string ScriptedDialogs::PromptCommentFor(const std::string& headline, const std::string& proposed)
{
    FileDialogRequest r;
    r.title = headline;
    shown.push_back({"comment", proposed, MsgIcon::None, MsgButtons::Ok, r});
    return Next(Answer::Kind::Text, "comment").text;
}

std::optional<std::string> ScriptedDialogs::AskComment(const std::string& headline, const std::string& proposed)
{
    FileDialogRequest r;
    r.title = headline;
    shown.push_back({"comment", proposed, MsgIcon::None, MsgButtons::OkCancel, r});
    const Answer a = Next(Answer::Kind::Text, "comment");
    if (a.result == MsgResult::Cancel)
        return std::nullopt;
    return a.text;
}

int ScriptedDialogs::FargoLibraryQuestion(const std::string& caption)
{
    shown.push_back({"fargo", caption, MsgIcon::Question, MsgButtons::YesNo, {}});
    return Next(Answer::Kind::Fargo, "fargo").fargoResult;
}

std::optional<std::string> ScriptedDialogs::AskText(const std::string& caption, const std::string& prompt,
                                                    const std::string& proposed)
{
    FileDialogRequest r;
    r.title = caption;
    r.fileName = proposed;
    shown.push_back({"input", prompt, MsgIcon::None, MsgButtons::OkCancel, r});
    return Next(Answer::Kind::Input, "input").file;
}

std::vector<std::string> ScriptedDialogs::Messages() const
{
    std::vector<std::string> out;
    for (const auto& s : shown)
        if (s.kind == "message")
            out.push_back(s.text);
    return out;
}
