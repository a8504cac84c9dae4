#include "files/widgets/TTextForm.h"

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

TTextForm::TTextForm(Dialogs& dialogs, QWidget* parent)
    : TViewerForm(dialogs, "Textviewer", "Viewing text", "&Save as..", parent)
{
    setObjectName("TextForm");
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Body()->addWidget(Memo1);
}

void TTextForm::AddLines(const std::vector<std::string>& lines)
{
    for (const std::string& line : lines)
        Memo1->appendPlainText(Utf8(line));
}

bool TTextForm::LoadFromFile(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray bytes = file.readAll();
    bytes.replace("\r\n", "\n");
    Memo1->setPlainText(Utf8(ti92text::SourceTextToUtf8(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())))));
    return true;
}

std::vector<std::string> TTextForm::Lines() const
{
    std::vector<std::string> lines;
    const QString text = Memo1->toPlainText();
    if (text.isEmpty() && Memo1->document()->blockCount() <= 1)
        return lines;
    for (const QString& line : text.split('\n')) {
        QByteArray bytes = line.toUtf8();
        lines.emplace_back(bytes.constData(), static_cast<size_t>(bytes.size()));
    }
    return lines;
}

void TTextForm::SaveAsClick()
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

void TTextForm::CopyClick()
{
    Memo1->copy();
}
