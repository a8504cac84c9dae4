#include "files/widgets/TextViewer.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <fstream>

#include "files/Ti92Charset.h"
#include "link/Dialogs.h"

namespace {
QString Utf8(const std::string& s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
}  // namespace

TextViewer::TextViewer(Dialogs& dialogs, QWidget* parent)
    : ViewerWindow(dialogs, "Textviewer", "Viewing text", "&Save as..", parent)
{
    setObjectName("TextViewer");
    textEdit = new QPlainTextEdit(this);
    textEdit->setObjectName("textEdit");
    textEdit->setReadOnly(true);
    textEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    textEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
    Body()->addWidget(textEdit);
}

void TextViewer::AddLines(const std::vector<std::string>& lines)
{
    for (const std::string& line : lines)
        textEdit->appendPlainText(Utf8(line));
}

bool TextViewer::LoadFromFile(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray bytes = file.readAll();
    bytes.replace("\r\n", "\n");
    textEdit->setPlainText(
        Utf8(ti92text::SourceTextToUtf8(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())))));
    return true;
}

std::vector<std::string> TextViewer::Lines() const
{
    std::vector<std::string> lines;
    const QString text = textEdit->toPlainText();
    if (text.isEmpty() && textEdit->document()->blockCount() <= 1)
        return lines;
    for (const QString& line : text.split('\n')) {
        QByteArray bytes = line.toUtf8();
        lines.emplace_back(bytes.constData(), static_cast<size_t>(bytes.size()));
    }
    return lines;
}

void TextViewer::onSaveAsClicked()
{
    FileDialogRequest request;
    request.title = "Save as..";
    request.fileName = "*.txt";
    request.filter = "Text-files (*.txt)";
    request.defaultExtension = "txt";
    std::optional<std::string> path = fDialogs.SaveFileName(request);
    if (!path)
        return;
    std::ofstream out(*path, std::ios::binary | std::ios::trunc);
    for (const std::string& line : Lines())
        out << line << '\n';
    out.close();
    if (!out)
        ShowMessage(fDialogs, "Cannot write file " + *path + ".", MsgIcon::Error);
}

void TextViewer::onCopyClicked()
{
    textEdit->copy();
}
