#include "app/cli/ConsoleDialogs.h"

#include <algorithm>
#include <cstdlib>
#include <ostream>
#include <set>
#include <vector>

#include "link/Exceptions.h"

#include "app/cli/PrintableText.h"

std::string ConsoleText(const std::string& text)
{
    std::string s = text;
    std::replace(s.begin(), s.end(), '\r', '\n');
    return PrintableMessage(s);
}

MsgResult ConsoleDialogs::MessageBox(const std::string& text, const std::string&, MsgIcon icon, MsgButtons buttons)
{
    const char* prefix = icon == MsgIcon::Warning ? "warning: " : "";
    fErr << fPrefix << prefix << ConsoleDialogLine(text, fVerbose) << '\n';
    switch (buttons) {
    case MsgButtons::YesNo:
    case MsgButtons::YesNoCancel:
        return MsgResult::Yes;
    // Replacing on the calculator is never assumed without a word from the user.
    case MsgButtons::YesNoAll:
        return MsgResult::No;
    // Nothing is thrown away for want of an answer.
    case MsgButtons::SaveDiscardCancel:
        return MsgResult::Cancel;
    case MsgButtons::Ok:
    case MsgButtons::OkCancel:
        break;
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

namespace {

// The link's "Timeout occured when sending byte.\rN bit was sent ok." in
// words: what did not happen in time.
std::string PlainTimeouts(const std::string& text)
{
    const std::string lead = "Timeout occured when sending byte.\r";
    const std::string tail = " bit was sent ok.";
    const size_t at = text.find(lead);
    const size_t end = at == std::string::npos ? at : text.find(tail, at);
    if (end == std::string::npos)
        return text;
    const std::string count = text.substr(at + lead.size(), end - at - lead.size());
    const int bits = std::atoi(count.c_str());
    const std::string words = bits > 0 ? "the calculator stopped taking a byte after " + count + " of its 8 bits"
                                       : "the calculator did not take a byte in time";
    return text.substr(0, at) + words + "." + text.substr(end + tail.size());
}

}  // namespace

std::string OneLine(const std::string& rawText)
{
    const std::string text = PlainTimeouts(rawText);
    std::vector<std::string> parts;
    std::string line;
    auto flush = [&] {
        size_t a = line.find_first_not_of(" \t");
        size_t b = line.find_last_not_of(" \t");
        std::string t = a == std::string::npos ? std::string() : line.substr(a, b - a + 1);
        if (t.rfind("* ", 0) == 0)
            t.erase(0, 2);
        if (!t.empty())
            parts.push_back(t);
        line.clear();
    };
    for (char c : text) {
        if (c == '\r' || c == '\n')
            flush();
        else
            line += c;
    }
    flush();
    std::string out;
    for (size_t i = 0; i < parts.size(); ++i) {
        std::string p = parts[i];
        if (i + 1 < parts.size() && (p.back() == '!' || p.back() == '.' || p.back() == ':'))
            p.pop_back();
        out += (i == 0 ? "" : i == 1 ? ": " : "; ") + p;
    }
    return out;
}

std::string WithoutErrorClass(const std::string& line, bool verbose)
{
    if (verbose)
        return line;
    static const std::set<std::string> classes = {"ELinkError", "EUserError", "ECalculatorError", "ESoftwareError",
                                                  "EAbort",     "EFileError", "EDamagedReply",    "Exception"};
    std::string out = line;
    // "An error (EFileError) occured"
    for (size_t at = out.find(" (E"); at != std::string::npos; at = out.find(" (E", at + 1)) {
        const size_t close = out.find(')', at);
        if (close == std::string::npos)
            break;
        if (classes.count(out.substr(at + 2, close - at - 2)))
            out.erase(at, close - at + 1);
    }
    // "main\big: EFileError: why"
    for (size_t at = out.find(": E"); at != std::string::npos; at = out.find(": E", at + 1)) {
        const size_t colon = out.find(": ", at + 2);
        if (colon != std::string::npos && classes.count(out.substr(at + 2, colon - at - 2)))
            out.erase(at + 2, colon - at);
    }
    return out;
}

std::string ConsoleErrorLine(const std::exception& e, bool verbose)
{
    return OneLine(e.what()) + (verbose ? " [" + ErrorClassName(e) + "]" : "");
}

std::string ConsoleDialogLine(const std::string& text, bool verbose)
{
    const std::string lead = "Some error occured while ";
    const std::string classTag = "\rErrorclass: ";
    const std::string messageTag = "\rMessage: \r";
    const size_t bang = text.find("!\r");
    const size_t cls = text.find(classTag);
    const size_t msg = text.find(messageTag);
    if (text.rfind(lead, 0) != 0 || bang == std::string::npos || cls == std::string::npos || msg == std::string::npos ||
        msg < cls)
        return OneLine(text);
    const std::string activity = text.substr(lead.size(), bang - lead.size());
    const std::string className = text.substr(cls + classTag.size(), msg - cls - classTag.size());
    const std::string message = OneLine(text.substr(msg + messageTag.size()));
    return activity + " failed" + (message.empty() ? "" : ": " + message) + (verbose ? " [" + className + "]" : "");
}
