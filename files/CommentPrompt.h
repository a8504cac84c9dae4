#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QDateTime>

class Dialogs;

// "File dated " + date and time as the system locale writes them + ".".
std::string CommentProposal(const QDateTime& now);
// "Enter a comment for "<file name>":"
std::string CommentHeadline(const std::string& path);
// A comment given as UTF-8 (typed in the window or passed on the command
// line) in calculator codes, cut to the 34 bytes a file keeps.
struct FileComment {
    std::string bytes;
    size_t missing = 0;  // characters the calculator lacks, given as '?'
    bool cut = false;
};
FileComment CommentFromUtf8(std::string_view text);
// What to tell the user about a converted comment: one line for a cut, one
// for missing characters; none when it came through whole.
std::vector<std::string> CommentNotes(const FileComment& comment);

// Asks for the comment of the file being saved, at most 34 calculator bytes;
// nothing when the user cancelled (then nothing is to be written).
std::optional<std::string> PromptComment(Dialogs& dialogs, const std::string& path);
// " Saving <file name> was cancelled; nothing was written." for the report.
std::string SaveCancelledText(const std::string& path);
