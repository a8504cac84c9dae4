#pragma once
#include <string>

#include <QDateTime>

class Dialogs;

// "File dated " + date and time as the system locale writes them + ".".
std::string CommentProposal(const QDateTime& now);
// "Enter a comment for "<file name>":"
std::string CommentHeadline(const std::string& path);
// Asks for the comment of the file being saved; an empty text when the
// dialog is closed without OK. At most 34 characters.
std::string PromptComment(Dialogs& dialogs, const std::string& path);
