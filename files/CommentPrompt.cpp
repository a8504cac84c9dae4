#include "files/CommentPrompt.h"

#include <filesystem>

#include <QLocale>

#include "files/FileFormat.h"
#include "link/Dialogs.h"

std::string CommentProposal(const QDateTime& now)
{
    // Comments are single calculator bytes; some locales put a narrow space
    // into their time format.
    QString text = QLocale::system().toString(now, QLocale::ShortFormat);
    for (QChar& c : text)
        if (c.unicode() > 0x7E || c.unicode() < 0x20)
            c = QChar(' ');
    return "File dated " + text.toStdString() + ".";
}

std::string CommentHeadline(const std::string& path)
{
    return "Enter a comment for \"" + std::filesystem::path(path).filename().string() + "\":";
}

std::string PromptComment(Dialogs& dialogs, const std::string& path)
{
    std::string comment = dialogs.PromptCommentFor(CommentHeadline(path),
                                                   CommentProposal(QDateTime::currentDateTime()));
    return comment.substr(0, ti92::kCommentLength);
}
