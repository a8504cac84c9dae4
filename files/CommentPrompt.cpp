#include "files/CommentPrompt.h"

#include <filesystem>

#include <QLocale>

#include "files/FileFormat.h"
#include "files/TextConversion.h"
#include "files/Ti92Charset.h"
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

std::optional<std::string> PromptComment(Dialogs& dialogs, const std::string& path)
{
    const std::optional<std::string> comment =
        dialogs.AskComment(CommentHeadline(path), CommentProposal(QDateTime::currentDateTime()));
    if (!comment)
        return std::nullopt;
    return CommentFromUtf8(*comment).bytes;
}

std::string SaveCancelledText(const std::string& path)
{
    return " Saving " + std::filesystem::path(path).filename().string() + " was cancelled; nothing was written.";
}

FileComment CommentFromUtf8(std::string_view text)
{
    ti92text::Encoded e = ti92text::FromUtf8(text);
    FileComment c;
    c.missing = e.missing;
    c.cut = e.bytes.size() > ti92::kCommentLength;
    c.bytes = e.bytes.substr(0, ti92::kCommentLength);
    return c;
}

std::vector<std::string> CommentNotes(const FileComment& comment)
{
    std::vector<std::string> notes;
    if (comment.cut)
        notes.push_back("the comment is cut to 34 characters");
    if (comment.missing)
        notes.push_back("in the comment, " + MissingCharactersNote(comment.missing));
    return notes;
}
