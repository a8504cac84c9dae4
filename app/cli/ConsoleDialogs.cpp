#include "app/cli/ConsoleDialogs.h"

#include <algorithm>
#include <ostream>

std::string ConsoleText(const std::string& text)
{
    std::string s = text;
    std::replace(s.begin(), s.end(), '\r', '\n');
    return s;
}

MsgResult ConsoleDialogs::MessageBox(const std::string& text, const std::string&, MsgIcon icon,
                                     MsgButtons buttons)
{
    const char* prefix = icon == MsgIcon::Error ? "error: " : icon == MsgIcon::Warning ? "warning: " : "";
    fErr << "linkwise-cli: " << prefix << ConsoleText(text) << '\n';
    switch (buttons) {
    case MsgButtons::YesNo:
    case MsgButtons::YesNoCancel: return MsgResult::Yes;
    case MsgButtons::Ok:
    case MsgButtons::OkCancel: break;
    }
    return MsgResult::Ok;
}

std::optional<std::string> ConsoleDialogs::SaveFileName(const FileDialogRequest& request)
{
    if (request.fileName.empty())
        return std::nullopt;
    return request.fileName;
}

std::optional<std::string> ConsoleDialogs::OpenFileName(const FileDialogRequest& request)
{
    if (request.fileName.empty())
        return std::nullopt;
    return request.fileName;
}

std::optional<std::string> ConsoleDialogs::PickDirectory(const std::string&, const std::string& start)
{
    return start;
}

std::string ConsoleDialogs::PromptComment(const std::string& proposed)
{
    return proposed;
}
