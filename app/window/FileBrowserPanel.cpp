#include "app/window/FileBrowserPanel.h"

#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QTreeWidget>
#include <filesystem>

#include "app/window/FileSendSeam.h"
#include "app/window/TForm1.h"
#include "files/ClassifyFile.h"
#include "files/FileBrowser.h"
#include "files/Ti92Charset.h"
#include "files/VariableViewing.h"
#include "files/widgets/PictureViewer.h"
#include "files/widgets/TextViewer.h"
#include "link/Dialogs.h"
#include "link/Exceptions.h"
#include "link/Ti92Link.h"
#include "transfers/FileListSend.h"

namespace {

// Names, comments and library names from TI-92 files, in the calculator's
// characters.
QString Calculator(const std::string& s)
{
    return QString::fromStdString(ti92text::ToUtf8(s));
}

// A comment as the list row holds it: a text file's comment is its own first
// bytes, every other one calculator text.
QString Comment(const std::string& bytes, const std::string& kindText)
{
    return QString::fromStdString(kindText == KindText(kinds::kText) ? ti92text::SourceTextToUtf8(bytes)
                                                                     : ti92text::ToUtf8(bytes));
}

// The comment bytes themselves ride along with the shown text.
constexpr int kCommentBytesRole = Qt::UserRole + 1;

// File names are shown as the system gives them (UTF-8 on Linux).
QString FileName(const std::string& s)
{
    return QString::fromStdString(s);
}

// A comment's line breaks would make its row taller than the others; the
// full text is in the panel's comment field.
QString OneLine(QString text)
{
    text.replace("\r\n", " ");
    text.replace('\r', ' ');
    text.replace('\n', ' ');
    return text;
}

// Viewers open at least this large, so their title, menu and a screen
// picture or a few lines of text show whole.
constexpr QSize kViewerContentSize(320, 220);

ViewerGeometry ToGeometry(const ViewerPlacement& p)
{
    return {p.Top, p.Left, p.Width, p.Height, p.StayOnTop};
}

void Store(ViewerPlacement& p, const ViewerGeometry& g)
{
    p = {g.height, g.width, g.top, g.left, g.stayOnTop};
}

}  // namespace

FileBrowserPanel::FileBrowserPanel(TForm1& form, Ti92Link& link, Dialogs& dialogs)
    : QObject(&form), fForm(form), fLink(link), fDialogs(dialogs), fFileList(form.FileList), fWindow(&form)
{
    TextForm = new TextViewer(dialogs, &form);
    PictureForm = new PictureViewer(dialogs, &form);
    TextForm->onGeometryChanged = [this](const ViewerGeometry& g) { Store(fForm.TextForm, g); };
    PictureForm->onGeometryChanged = [this](const ViewerGeometry& g) { Store(fForm.PictureForm, g); };
    form.HideViewers = [this] { HideViewers(); };

    QTreeWidget* list = form.FileList;
    connect(list, &QTreeWidget::itemClicked, this, [this] { FileListClick(); });
    list->installEventFilter(this);
    list->header()->setSectionsClickable(true);
    connect(list->header(), &QHeaderView::sectionClicked, this, &FileBrowserPanel::FileListColumnClick);
    connect(form.UpdateBtn, &QPushButton::clicked, this, [this] { ListFilesShowingError(); });
    connect(form.BrowseBtn, &QPushButton::clicked, this, &FileBrowserPanel::BrowseClick);
    connect(form.ComboBox1, &QComboBox::activated, this, &FileBrowserPanel::ComboBox1Pick);
    connect(form.ViewBtn, &QPushButton::clicked, this, &FileBrowserPanel::ViewBtnClick);
    connect(form.ViewVarBtn, &QPushButton::clicked, this, &FileBrowserPanel::BitBtn3Click);
    connect(form.TxtBtn, &QToolButton::clicked, this, [this] {
        PlaceViewers();
        TextForm->show();
    });
    connect(form.ScrBtn, &QToolButton::clicked, this, [this] {
        PlaceViewers();
        PictureForm->show();
    });
    form.ViewVarBtn->setToolTip("View text- or picturevariable");
    form.TxtBtn->setEnabled(false);
    form.ScrBtn->setEnabled(false);
    form.installEventFilter(this);

    auto list_ = [this] {
        ListFilesShowingError();
        ResizeLayout();
    };
    form.SetStepAction(taskSendFiles, 1, list_);
    form.SetStepAction(taskSendParam, 1, list_);
    form.SetBackwardRefresh(pageFileSelect, list_);

    form.SetStepAction(taskSendFiles, 2, [this] { SendSelected(); });
    form.SetStepAction(taskSendParam, 2, [this] { SendSelected(); });
}

// The selected files, or the one the command line named.
void FileBrowserPanel::SendSelected()
{
    fForm.VarListClear();
    std::optional<std::string> commandLineFile;
    if (fForm.ParamCommands.ParamMode && fForm.ParamCommands.Has(cmdSEND))
        commandLineFile = fForm.ParamCommands.FileName;
    std::vector<std::string> selected;
    for (const ListItem& row : Rows())
        if (row.selected)
            selected.push_back(row.caption);
    RunFormSendJob(fForm, fLink, fDialogs, [&](const FileListSendJob& job) {
        try {
            fForm.RecordStepResult(SendFiles(job, commandLineFile, Directory(), selected).Complete());
        } catch (const std::exception& e) {
            fForm.RecordStepResult(false);
            fDialogs.MessageBox(e.what(), "Linkwise", MsgIcon::Error, MsgButtons::Ok);
        }
    });
}

bool FileBrowserPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == fFileList && event->type() == QEvent::KeyRelease)
        FileListClick();
    else if (watched == fWindow && event->type() == QEvent::Resize)
        ResizeLayout();
    return QObject::eventFilter(watched, event);
}

std::string FileBrowserPanel::Directory() const
{
    return fForm.ComboBox1->itemText(0).toStdString();
}

void FileBrowserPanel::FillList(const std::vector<ListItem>& rows)
{
    QTreeWidget* list = fForm.FileList;
    list->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(rows.size()));
    for (const ListItem& r : rows) {
        auto* item = new QTreeWidgetItem;
        item->setText(0, FileName(r.caption));
        for (size_t c = 0; c < r.subItems.size(); ++c)
            item->setText(static_cast<int>(c + 1),
                          c == 0 ? OneLine(Comment(r.subItems[c], r.subItems.size() > 1 ? r.subItems[1] : ""))
                                 : QString::fromStdString(r.subItems[c]));
        if (!r.subItems.empty())
            item->setData(1, kCommentBytesRole,
                          QByteArray(r.subItems[0].data(), static_cast<qsizetype>(r.subItems[0].size())));
        item->setData(0, Qt::UserRole, r.data);
        items.push_back(item);
    }
    list->addTopLevelItems(items);
    for (int i = 0; i < static_cast<int>(rows.size()); ++i)
        if (rows[size_t(i)].selected)
            list->topLevelItem(i)->setSelected(true);
    for (int column : {0, 2, 3})
        list->resizeColumnToContents(column);
}

std::vector<ListItem> FileBrowserPanel::Rows() const
{
    std::vector<ListItem> rows;
    QTreeWidget* list = fForm.FileList;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list->topLevelItem(i);
        ListItem r;
        r.caption = item->text(0).toStdString();
        for (int c = 1; c < list->columnCount(); ++c)
            if (!item->text(c).isEmpty() || c == 1)
                r.subItems.push_back(c == 1 ? item->data(1, kCommentBytesRole).toByteArray().toStdString()
                                            : item->text(c).toStdString());
        if (item->text(1).isEmpty() && item->text(2).isEmpty())
            r.subItems.clear();
        r.data = item->data(0, Qt::UserRole).toInt();
        r.selected = item->isSelected();
        rows.push_back(std::move(r));
    }
    return rows;
}

void FileBrowserPanel::ListFiles()
{
    fLink.Aborted = 0;
    fForm.FileList->clear();
    // The panel described a file of the old list.
    fForm.Label23->setText(kNoFileInfo);
    fForm.Label26->setText("-");
    fForm.Memo1->clear();
    fForm.IncVarList->clear();
    fForm.TotSize->setText("(unknown)");
    for (QWidget* w : {static_cast<QWidget*>(fForm.Bevel3), static_cast<QWidget*>(fForm.Edit1),
                       static_cast<QWidget*>(fForm.Label27)})
        w->hide();
    fForm.ShowStatus("Listing directory");
    BrowserFilter filter{fForm.Settings.ExtensionString, {fForm.Settings.ShowFargo1, fForm.Settings.ShowFargo2}};
    std::vector<ListItem> rows;
    try {
        rows = ::ListFiles(Directory(), filter, SortKey);
    } catch (...) {
        fForm.ShowStatus("(none)");
        throw;
    }
    FillList(rows);
    fForm.ShowStatus("(none)");
}

void FileBrowserPanel::ListFilesShowingError()
{
    try {
        ListFiles();
    } catch (const std::exception& e) {
        fDialogs.MessageBox(e.what(), "Linkwise", MsgIcon::Error, MsgButtons::Ok);
    }
}

void FileBrowserPanel::FileListColumnClick(int column)
{
    SortKey = SortKeyForColumn(column, fForm.FileList->headerItem()->text(column).toStdString());
    std::vector<ListItem> rows = Rows();
    if (rows.size() == 1 && rows[0].caption == kNoFilesToShow)
        return;
    SortFileList(rows, SortKey);
    FillList(rows);
}

QTreeWidgetItem* FileBrowserPanel::FirstSelected() const
{
    QTreeWidget* list = fForm.FileList;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->isSelected())
            return list->topLevelItem(i);
    return nullptr;
}

void FileBrowserPanel::FileListClick()
{
    const std::string dir = WithSlash(Directory());
    QTreeWidgetItem* first = FirstSelected();
    std::error_code ec;
    if (!first || !std::filesystem::is_regular_file(dir + first->text(0).toStdString(), ec)) {
        ShowNoFile();
        return;
    }
    try {
        ShowSelectionSize(dir);
        const FilePanel panel = DescribeFile(Directory(), first->text(0).toStdString(),
                                             {fForm.Settings.ShowFargo1, fForm.Settings.ShowFargo2});
        ShowContent(panel);
        ShowSideFiles(panel);
        fForm.FileList->setFocus();
        ShowCommentAndLibraries(panel);
    } catch (const std::exception& e) {
        fForm.ShowStatus("(none)");
        fDialogs.MessageBox(e.what(), "Linkwise", MsgIcon::Error, MsgButtons::Ok);
    }
}

void FileBrowserPanel::ShowNoFile()
{
    TForm1& f = fForm;
    f.Label23->setText("File not found!");
    f.Label26->setText("-");
    f.Memo1->clear();
    f.Bevel2->hide();
    f.Bevel3->hide();
}

// The size of every selected file together.
void FileBrowserPanel::ShowSelectionSize(const std::string& dir)
{
    TForm1& f = fForm;
    f.ShowStatus("Calculating size");
    std::error_code ec;
    int64_t total = 0;
    int count = 0;
    for (QTreeWidgetItem* item : f.FileList->selectedItems()) {
        total += static_cast<int64_t>(std::filesystem::file_size(dir + item->text(0).toStdString(), ec));
        ++count;
    }
    f.TotSize->setText(QString::fromStdString(SelectionSizeText(total, count)));
    f.ShowStatus("(none)");
}

// The file's name, kind and the variables it holds.
void FileBrowserPanel::ShowContent(const FilePanel& panel)
{
    TForm1& f = fForm;
    f.Label23->setText(FileName(panel.title));
    f.Label26->setText(QString::fromStdString(panel.kindText));
    f.Bevel2->setVisible(panel.showVariables);
    f.IncVarList->clear();
    for (const ListItem& v : panel.variables) {
        auto* row = new QTreeWidgetItem(f.IncVarList);
        row->setText(0, Calculator(v.caption));
        if (!v.subItems.empty())
            row->setText(1, QString::fromStdString(v.subItems[0]));
    }
}

// A text or picture of the same name opens in its viewer beside the window.
void FileBrowserPanel::ShowSideFiles(const FilePanel& panel)
{
    HideViewers();
    fForm.TxtBtn->setEnabled(false);
    fForm.ScrBtn->setEnabled(false);
    auto open = [this](auto* viewer, QToolButton* button, const std::string& path) {
        if (path.empty() || !viewer->LoadFromFile(path))
            return;
        button->setEnabled(true);
        PlaceViewers();
        viewer->SetStatus("Viewing " + QString::fromStdString(path).toLower().toStdString());
        viewer->show();
    };
    open(TextForm, fForm.TxtBtn, panel.textSideFile);
    open(PictureForm, fForm.ScrBtn, panel.pictureSideFile);
}

void FileBrowserPanel::ShowCommentAndLibraries(const FilePanel& panel)
{
    TForm1& f = fForm;
    f.Memo1->setPlainText(Comment(panel.comment, panel.kindText));
    f.Memo1->setReadOnly(panel.commentReadOnly);
    f.Edit1->clear();
    f.Bevel3->setVisible(panel.showLibraries);
    f.Edit1->setVisible(panel.showLibraries);
    f.Label27->setVisible(panel.showLibraries);
    f.Edit1->setText(Calculator(panel.libraries));
    f.Edit1->setToolTip(QString::fromStdString(panel.libraryWarning));
}

void FileBrowserPanel::ResizeLayout()
{
    TForm1& f = fForm;
    const int w = std::max(f.width(), 550);
    f.FileInfoPanel->setFixedWidth(static_cast<int>(w * 0.245455));
    const int frame = static_cast<int>(w * 0.225818);
    for (QFrame* bevel : {f.Bevel1, f.Bevel2, f.Bevel3})
        bevel->setFixedWidth(frame);
    f.ProcessMessages();
    f.Memo1->setFixedWidth(frame - 2 - 4);
    f.IncVarList->setFixedWidth(frame - 2 - 4);
    f.Edit1->setFixedWidth(frame - 2 - 4);
    const int listWidth = f.IncVarList->width();
    f.IncVarList->setColumnWidth(0, static_cast<int>(0.55 * listWidth));
    f.IncVarList->setColumnWidth(1, static_cast<int>(0.35 * listWidth));
    f.ProcessMessages();
}

void FileBrowserPanel::ListWithHistoryError()
{
    try {
        ListFiles();
    } catch (const std::exception&) {
        ESoftwareError e("Error while listing directory!");
        fDialogs.MessageBox(ErrorClassName(e) + ": " + e.what(), "Linkwise", MsgIcon::Error, MsgButtons::Ok);
    }
}

void FileBrowserPanel::PutFolderFirst(const QString& folder, int oldIndex)
{
    QComboBox* box = fForm.ComboBox1;
    QSignalBlocker block(box);
    box->removeItem(oldIndex);
    box->insertItem(0, folder);
    while (box->count() > kHistoryItems)
        box->removeItem(box->count() - 1);
    box->setCurrentIndex(0);
    box->setToolTip(box->itemText(0));
}

void FileBrowserPanel::ComboBox1Pick(int index)
{
    if (index < 0 || index >= fForm.ComboBox1->count())
        return;
    PutFolderFirst(fForm.ComboBox1->itemText(index), index);
    fForm.ProcessMessages();
    ListWithHistoryError();
}

void FileBrowserPanel::BrowseClick()
{
    QComboBox* box = fForm.ComboBox1;
    const std::string start = box->currentText().toStdString();
    std::optional<std::string> chosen = fDialogs.PickDirectory("Select path", start);
    if (!chosen)
        return;
    // The oldest entry drops out.
    PutFolderFirst(QString::fromStdString(*chosen), box->count() - 1);
    fForm.ProcessMessages();
    ListWithHistoryError();
}

void FileBrowserPanel::HideViewers()
{
    TextForm->hide();
    PictureForm->hide();
}

void FileBrowserPanel::PlaceViewers()
{
    if (fViewersPlaced)
        return;
    fViewersPlaced = true;
    QSize screen(1024, 768);
    if (QScreen* s = QGuiApplication::primaryScreen())
        screen = s->geometry().size();
    const QRect main = fForm.frameGeometry();
    // Placing moves the windows: keep the stored values until both are placed.
    const ViewerPlacement text = fForm.TextForm, picture = fForm.PictureForm;
    TextForm->Place(ToGeometry(text), main.top() + 130, main.left() + main.width(), screen);
    PictureForm->Place(ToGeometry(picture), main.top(), main.left() + main.width(), screen);
    for (QWidget* viewer : {static_cast<QWidget*>(TextForm), static_cast<QWidget*>(PictureForm)})
        viewer->resize(viewer->size().expandedTo(kViewerContentSize));
}

void FileBrowserPanel::ShowViewed(const ViewedVariable& v)
{
    PlaceViewers();
    if (v.kind == ViewedVariable::Kind::Text) {
        TextForm->show();
        TextForm->SetStatus(v.StatusText());
        // The viewer shows the one variable named in its status, nothing before it.
        TextForm->textEdit->clear();
        TextForm->AddLines(v.lines);
    } else if (v.kind == ViewedVariable::Kind::Picture) {
        PictureForm->show();
        PictureForm->SetStatus(v.StatusText());
        PictureForm->ShowPicture(v.picture);
    }
}

void FileBrowserPanel::ExtractData(const std::string& path)
{
    if (fForm.IncVarList->topLevelItemCount() >= 2) {
        fDialogs.MessageBox("You can only view single-text- or single-imagefiles!", "Linkwise",
                            MsgIcon::Information, MsgButtons::Ok);
        return;
    }
    if (fForm.IncVarList->topLevelItemCount() == 1)
        fForm.IncVarList->topLevelItem(0)->setSelected(true);
    try {
        ShowViewed(::ExtractData(path, 0));
    } catch (const std::exception& e) {
        fDialogs.MessageBox(e.what(), "Linkwise", MsgIcon::Error, MsgButtons::Ok);
    }
}

void FileBrowserPanel::ViewBtnClick()
{
    QTreeWidgetItem* first = FirstSelected();
    if (!first)
        return;
    const std::string path = WithSlash(Directory()) + first->text(0).toStdString();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return;
    try {
        ExtractData(path);
    } catch (...) {
        // Nothing more to say than ExtractData did.
    }
}

void FileBrowserPanel::BitBtn3Click()
{
    QTreeWidget* list = fForm.ListView2;
    int row = -1;
    for (int i = 0; i < list->topLevelItemCount() && row < 0; ++i)
        if (list->topLevelItem(i)->isSelected())
            row = i;
    if (row < 0)
        return;
    try {
        TempStore store(std::filesystem::path(fForm.Settings.DataFile).parent_path());
        ShowViewed(ViewStoredVariable(store, static_cast<size_t>(row)));
    } catch (const std::exception& e) {
        fDialogs.MessageBox(e.what(), "Linkwise", MsgIcon::Error, MsgButtons::Ok);
    }
}
