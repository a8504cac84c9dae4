#include "app/dialogs/QtDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

#include "app/dialogs/FargoLibraryDialog.h"
#include "files/widgets/CommentDialog.h"

QString DialogText(const std::string& text)
{
    QString s = QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
    s.replace("\r\n", "\n");
    s.replace('\r', '\n');
    return s;
}

QString SuffixOfFilter(const QString& filter)
{
    const qsizetype star = filter.indexOf("*.");
    if (star < 0)
        return {};
    qsizetype end = star + 2;
    while (end < filter.size() && filter[end].isLetterOrNumber())
        ++end;
    return filter.mid(star + 2, end - star - 2);
}

QtDialogs::QtDialogs(QWidget* parent) : fParent(parent) {}

QWidget* QtDialogs::DialogParent() const
{
    // The window the user works in: a box under an always-on-top window
    // (the remote keyboard) would hide behind it.
    if (QWidget* active = QApplication::activeWindow(); active && active->isVisible())
        return active;
    return fParent;
}

QtDialogs::~QtDialogs()
{
    delete fFargoQuestion;
}

int QtDialogs::FargoLibraryQuestion(const std::string& caption)
{
    if (!fFargoQuestion)
        fFargoQuestion = new FargoLibraryDialog(nullptr);
    return fFargoQuestion->Ask(QString::fromStdString(caption));
}

MsgResult QtDialogs::MessageBox(const std::string& text, const std::string& caption, MsgIcon icon, MsgButtons buttons)
{
    QMessageBox box(DialogParent());
    box.setWindowTitle(QString::fromStdString(caption));
    const ErrorBoxText parts = SplitErrorDetails(text);
    box.setText(DialogText(parts.text));
    if (!parts.details.empty())
        box.setDetailedText(DialogText(parts.details));
    // Paths, addresses and error texts can be copied out of the box.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    switch (icon) {
    case MsgIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MsgIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgIcon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    switch (buttons) {
    case MsgButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MsgButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MsgButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case MsgButtons::YesNoAll:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::YesToAll | QMessageBox::NoToAll |
                               QMessageBox::Cancel);
        break;
    case MsgButtons::SaveDiscardCancel:
        box.setStandardButtons(QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Save);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok:
        return MsgResult::Ok;
    case QMessageBox::Yes:
        return MsgResult::Yes;
    case QMessageBox::No:
        return MsgResult::No;
    case QMessageBox::YesToAll:
        return MsgResult::YesToAll;
    case QMessageBox::NoToAll:
        return MsgResult::NoToAll;
    case QMessageBox::Save:
        return MsgResult::Save;
    case QMessageBox::Discard:
        return MsgResult::Discard;
    default:
        // Closing the box by its frame: the "no" answer of the box.
        return buttons == MsgButtons::Ok      ? MsgResult::Ok
               : buttons == MsgButtons::YesNo ? MsgResult::No
                                              : MsgResult::Cancel;
    }
}

static std::optional<std::string> RunFileDialog(QWidget* parent, const FileDialogRequest& r,
                                                QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, QString::fromStdString(r.title), QString::fromStdString(r.initialDir),
                       QString::fromStdString(r.filter));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!r.defaultExtension.empty())
        dialog.setDefaultSuffix(QString::fromStdString(r.defaultExtension));
    // A name typed without an extension takes the one of the filter chosen.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        const QString suffix = SuffixOfFilter(filter);
        if (!suffix.isEmpty())
            dialog.setDefaultSuffix(suffix);
    });
    if (!r.fileName.empty() && r.fileName.find('*') == std::string::npos)
        dialog.selectFile(QString::fromStdString(r.fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
}

std::optional<std::string> QtDialogs::SaveFileName(const FileDialogRequest& request)
{
    return RunFileDialog(DialogParent(), request, QFileDialog::AcceptSave);
}

std::optional<std::string> QtDialogs::OpenFileName(const FileDialogRequest& request)
{
    return RunFileDialog(DialogParent(), request, QFileDialog::AcceptOpen);
}

ErrorBoxText SplitErrorDetails(const std::string& text)
{
    static const std::string kMoreInfo = "\r\rMore info:\rErrorclass: ";
    static const std::string kMessage = "\rMessage: \r";
    const size_t info = text.find(kMoreInfo);
    if (info == std::string::npos)
        return {text, {}};
    const size_t className = info + kMoreInfo.size();
    const size_t message = text.find(kMessage, className);
    if (message == std::string::npos)
        return {text, {}};
    return {text.substr(0, info) + "\r" + text.substr(message + kMessage.size()),
            "Error class: " + text.substr(className, message - className)};
}

QString FolderChooserStart(const QString& start)
{
    // A folder since removed opens at the nearest one still there.
    if (start.isEmpty() || QDir::isRelativePath(start))
        return QDir::homePath();
    QString path = QDir::cleanPath(start);
    while (!QFileInfo(path).isDir()) {
        const qsizetype slash = path.lastIndexOf('/');
        if (slash <= 0)
            return "/";
        path.truncate(slash);
    }
    return path;
}

std::optional<std::string> QtDialogs::PickDirectory(const std::string& title, const std::string& start)
{
    // The desktop's own chooser (through the portal where there is one).
    const QString dir =
        QFileDialog::getExistingDirectory(DialogParent(),
                                          QString::fromStdString(title.empty() ? std::string("Select folder") : title),
                                          FolderChooserStart(QString::fromStdString(start)));
    if (dir.isEmpty())
        return std::nullopt;
    return dir.toStdString();
}

std::string QtDialogs::PromptComment(const std::string& proposed)
{
    return PromptCommentFor("Please enter a comment:", proposed);
}

std::string QtDialogs::PromptCommentFor(const std::string& headline, const std::string& proposed)
{
    return AskComment(headline, proposed).value_or(std::string());
}

std::optional<std::string> QtDialogs::AskComment(const std::string& headline, const std::string& proposed)
{
    CommentDialog form(DialogParent());
    return form.Ask(headline, proposed);
}

std::optional<std::string> QtDialogs::AskText(const std::string& caption, const std::string& prompt,
                                              const std::string& proposed)
{
    bool ok = false;
    const QString text = QInputDialog::getText(DialogParent(), QString::fromStdString(caption), DialogText(prompt),
                                               QLineEdit::Normal, QString::fromStdString(proposed), &ok);
    if (!ok)
        return std::nullopt;
    return text.toStdString();
}
