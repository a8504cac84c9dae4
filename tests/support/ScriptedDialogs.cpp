#include "tests/support/ScriptedDialogs.h"

#include <gtest/gtest.h>

template <typename T> T ScriptedDialogs::Next(const char* kind)
{
    if (fScript.empty()) {
        ADD_FAILURE() << "unexpected " << kind << " dialog: " << shown.back().text;
        return T{};
    }
    Answer a = std::move(fScript.front());
    fScript.pop_front();
    if (auto* v = std::get_if<T>(&a))
        return *v;
    ADD_FAILURE() << "scripted answer does not fit the " << kind << " dialog: " << shown.back().text;
    return T{};
}

MsgResult ScriptedDialogs::MessageBox(const std::string& text, const std::string&, MsgIcon icon,
                                      MsgButtons buttons)
{
    shown.push_back({"message", text, icon, buttons, {}});
    if (buttons == MsgButtons::Ok && !strict &&
        (fScript.empty() || !std::holds_alternative<MsgResult>(fScript.front())))
        return MsgResult::Ok;
    return Next<MsgResult>("message");
}

std::optional<std::string> ScriptedDialogs::SaveFileName(const FileDialogRequest& request)
{
    shown.push_back({"save", request.title, MsgIcon::None, MsgButtons::Ok, request});
    return Next<std::optional<std::string>>("save");
}

std::optional<std::string> ScriptedDialogs::OpenFileName(const FileDialogRequest& request)
{
    shown.push_back({"open", request.title, MsgIcon::None, MsgButtons::Ok, request});
    return Next<std::optional<std::string>>("open");
}

std::optional<std::string> ScriptedDialogs::PickDirectory(const std::string& title,
                                                          const std::string& start)
{
    FileDialogRequest r;
    r.title = title;
    r.initialDir = start;
    shown.push_back({"directory", title, MsgIcon::None, MsgButtons::Ok, r});
    return Next<std::optional<std::string>>("directory");
}

std::string ScriptedDialogs::PromptComment(const std::string& proposed)
{
    shown.push_back({"comment", proposed, MsgIcon::None, MsgButtons::Ok, {}});
    return Next<std::string>("comment");
}

std::string ScriptedDialogs::PromptCommentFor(const std::string& headline,
                                              const std::string& proposed)
{
    FileDialogRequest r;
    r.title = headline;
    shown.push_back({"comment", proposed, MsgIcon::None, MsgButtons::Ok, r});
    return Next<std::string>("comment");
}

std::vector<std::string> ScriptedDialogs::Messages() const
{
    std::vector<std::string> out;
    for (const auto& s : shown)
        if (s.kind == "message")
            out.push_back(s.text);
    return out;
}
