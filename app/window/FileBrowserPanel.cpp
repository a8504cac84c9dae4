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

#include "app/window/FileDragDrop.h"
#include "app/window/FileSendSeam.h"
#include "app/window/GroupEditing.h"
#include "app/window/WizardWindow.h"
#include "files/ClassifyFile.h"
#include "files/FileBrowser.h"
#include "files/GroupFile.h"
#include "files/SafeFileName.h"
#include "files/SaveAs92g.h"
#include "files/TempStore.h"
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

FileBrowserPanel::FileBrowserPanel(WizardWindow& form, Ti92Link& link, Dialogs& dialogs)
    : QObject(&form), fForm(form), fLink(link), fDialogs(dialogs), fFileList(form.fileList), fWindow(&form)
{
    textViewer = new TextViewer(dialogs, &form);
    pictureViewer = new PictureViewer(dialogs, &form);
    textViewer->onGeometryChanged = [this](const ViewerGeometry& g) { Store(fForm.textViewerPlace, g); };
    pictureViewer->onGeometryChanged = [this](const ViewerGeometry& g) { Store(fForm.pictureViewerPlace, g); };
    form.hideViewers = [this] { HideViewers(); };
    groupEditing = new GroupEditing(
        form, dialogs, [this] { return Directory(); }, [this](const std::string& name) { Relist(name); });
    dragDrop = new FileDragDrop(form, dialogs, [this](const std::vector<std::string>& paths) { SendGivenFiles(paths); });
    dragDrop->AddSource(form.includedVariableList, [this](const std::filesystem::path& folder) {
        return groupEditing->WriteSelectedInto(folder);
    });
    dragDrop->AddSource(form.receivedList, [this](const std::filesystem::path& folder) {
        return WriteReceivedInto(folder);
    });

    QTreeWidget* list = form.fileList;
    connect(list, &QTreeWidget::itemClicked, this, [this] { onFileListClicked(); });
    list->installEventFilter(this);
    list->header()->setSectionsClickable(true);
    connect(list->header(), &QHeaderView::sectionClicked, this, &FileBrowserPanel::onFileListHeaderClicked);
    connect(form.updateFilesButton, &QPushButton::clicked, this, [this] { ListFilesShowingError(); });
    connect(form.browseButton, &QPushButton::clicked, this, &FileBrowserPanel::onBrowseClicked);
    connect(form.folderBox, &QComboBox::activated, this, &FileBrowserPanel::onFolderPicked);
    connect(form.viewVariableButton, &QPushButton::clicked, this, &FileBrowserPanel::onViewVariableClicked);
    connect(form.viewReceivedButton, &QPushButton::clicked, this, &FileBrowserPanel::onViewReceivedClicked);
    connect(form.textViewerButton, &QToolButton::clicked, this, [this] {
        PlaceViewers();
        textViewer->show();
    });
    connect(form.pictureViewerButton, &QToolButton::clicked, this, [this] {
        PlaceViewers();
        pictureViewer->show();
    });
    form.viewReceivedButton->setToolTip("View text- or picturevariable");
    form.textViewerButton->setEnabled(false);
    form.pictureViewerButton->setEnabled(false);
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
    if (fForm.paramCommands.ParamMode && fForm.paramCommands.Has(cmdSEND))
        commandLineFile = fForm.paramCommands.FileName;
    std::vector<std::string> selected;
    for (const ListItem& row : Rows())
        if (row.selected)
            selected.push_back(row.caption);
    const std::vector<std::string> given = std::exchange(fGivenFiles, {});
    RunFormSendJob(fForm, fLink, fDialogs, [&](const FileListSendJob& job) {
        try {
            fForm.RecordStepResult((given.empty() ? SendFiles(job, commandLineFile, Directory(), selected)
                                                  : SendFileList(job, given))
                                       .Complete());
        } catch (const std::exception& e) {
            fForm.RecordStepResult(false);
            fDialogs.MessageBox(e.what(), "Linkwise", MsgIcon::Error, MsgButtons::Ok);
        }
    });
}

void FileBrowserPanel::SendGivenFiles(const std::vector<std::string>& paths)
{
    if (fForm.InTransfer()) {
        fForm.ShowStatus("Busy: the files were not taken; give them again when the transfer has ended");
        return;
    }
    fGivenFiles = paths;
    fForm.StartGivenFilesSend(false);
}

// The selected received variables, each as a single-variable file.
std::vector<std::filesystem::path> FileBrowserPanel::WriteReceivedInto(const std::filesystem::path& folder) const
{
    const TempStore store(std::filesystem::path(fForm.settings.DataFile).parent_path());
    const std::vector<IndexRecord> records = store.ReadIndex();
    std::vector<std::filesystem::path> files;
    QTreeWidget* list = fForm.receivedList;
    for (int i = 0; i < list->topLevelItemCount() && size_t(i) < records.size(); ++i) {
        if (!list->topLevelItem(i)->isSelected())
            continue;
        const IndexRecord& r = records[size_t(i)];
        const FileVariable v{FolderPart(r.name), EntryName(r.name), r.type, store.ReadItem(r), {}};
        files.push_back(folder / OwnVariableFile(v.folder, v.name, v.type).filename());
        SaveVariableFile(files.back().string(), {v}, "");
    }
    return files;
}

bool FileBrowserPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == fFileList && event->type() == QEvent::KeyRelease)
        onFileListClicked();
    else if (watched == fWindow && event->type() == QEvent::Resize)
        ResizeLayout();
    return QObject::eventFilter(watched, event);
}

std::string FileBrowserPanel::Directory() const
{
    return fForm.folderBox->itemText(0).toStdString();
}

void FileBrowserPanel::FillList(const std::vector<ListItem>& rows)
{
    QTreeWidget* list = fForm.fileList;
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
        // The column is narrow: the whole comment shows on hovering.
        if (!r.subItems.empty())
            item->setToolTip(1, Comment(r.subItems[0], r.subItems.size() > 1 ? r.subItems[1] : ""));
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
    QTreeWidget* list = fForm.fileList;
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
    fForm.fileList->clear();
    // The panel described a file of the old list.
    fForm.fileTitleLabel->setText(kNoFileInfo);
    fForm.fileKindLabel->setText("-");
    fForm.commentMemo->clear();
    fForm.includedVariableList->clear();
    fForm.selectionSizeLabel->setText("(unknown)");
    for (QWidget* w : {static_cast<QWidget*>(fForm.librariesGroup), static_cast<QWidget*>(fForm.librariesEdit),
                       static_cast<QWidget*>(fForm.librariesCaption)})
        w->hide();
    fForm.ShowStatus("Listing directory");
    BrowserFilter filter{fForm.settings.ExtensionString, {fForm.settings.ShowFargo1, fForm.settings.ShowFargo2}};
    std::vector<ListItem> rows;
    try {
        rows = ::ListFiles(Directory(), filter, sortKey);
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

void FileBrowserPanel::onFileListHeaderClicked(int column)
{
    sortKey = SortKeyForColumn(column, fForm.fileList->headerItem()->text(column).toStdString());
    std::vector<ListItem> rows = Rows();
    if (rows.size() == 1 && rows[0].caption == kNoFilesToShow)
        return;
    SortFileList(rows, sortKey);
    FillList(rows);
}

QTreeWidgetItem* FileBrowserPanel::FirstSelected() const
{
    QTreeWidget* list = fForm.fileList;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->isSelected())
            return list->topLevelItem(i);
    return nullptr;
}

void FileBrowserPanel::onFileListClicked()
{
    const std::string dir = WithSlash(Directory());
    QTreeWidgetItem* first = FirstSelected();
    std::error_code ec;
    // Nothing chosen (the "(no files to show)" row is not a file): an empty pane.
    if (!first || first->text(0) == kNoFilesToShow) {
        ShowNoFile("No file selected.");
        return;
    }
    if (!std::filesystem::is_regular_file(dir + first->text(0).toStdString(), ec)) {
        ShowNoFile("File not found!");
        return;
    }
    try {
        ShowSelectionSize(dir);
        const FilePanel panel = DescribeFile(Directory(), first->text(0).toStdString(),
                                             {fForm.settings.ShowFargo1, fForm.settings.ShowFargo2});
        ShowContent(panel);
        groupEditing->ShowFile(dir + first->text(0).toStdString());
        ShowSideFiles(panel);
        fForm.fileList->setFocus();
        ShowCommentAndLibraries(panel);
    } catch (const std::exception& e) {
        fForm.ShowStatus("(none)");
        fDialogs.MessageBox(e.what(), "Linkwise", MsgIcon::Error, MsgButtons::Ok);
    }
}

void FileBrowserPanel::Relist(const std::string& fileName)
{
    ListFilesShowingError();
    QTreeWidget* list = fForm.fileList;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (!fileName.empty() && list->topLevelItem(i)->text(0).toStdString() == fileName) {
            list->clearSelection();
            list->topLevelItem(i)->setSelected(true);
            list->setCurrentItem(list->topLevelItem(i));
            onFileListClicked();
            return;
        }
}

void FileBrowserPanel::ShowNoFile(const char* title)
{
    WizardWindow& f = fForm;
    groupEditing->ShowFile({});
    f.fileTitleLabel->setText(title);
    f.fileKindLabel->setText("-");
    f.commentMemo->clear();
    f.variablesGroup->hide();
    f.librariesGroup->hide();
}

// The size of every selected file together.
void FileBrowserPanel::ShowSelectionSize(const std::string& dir)
{
    WizardWindow& f = fForm;
    f.ShowStatus("Calculating size");
    std::error_code ec;
    int64_t total = 0;
    int count = 0;
    for (QTreeWidgetItem* item : f.fileList->selectedItems()) {
        total += static_cast<int64_t>(std::filesystem::file_size(dir + item->text(0).toStdString(), ec));
        ++count;
    }
    f.selectionSizeLabel->setText(QString::fromStdString(SelectionSizeText(total, count)));
    f.ShowStatus("(none)");
}

// The file's name, kind and the variables it holds.
void FileBrowserPanel::ShowContent(const FilePanel& panel)
{
    WizardWindow& f = fForm;
    f.fileTitleLabel->setText(FileName(panel.title));
    f.fileKindLabel->setText(QString::fromStdString(panel.kindText));
    f.variablesGroup->setVisible(panel.showVariables);
    f.includedVariableList->clear();
    for (const ListItem& v : panel.variables) {
        auto* row = new QTreeWidgetItem(f.includedVariableList);
        row->setText(0, Calculator(v.caption));
        if (!v.subItems.empty())
            row->setText(1, QString::fromStdString(v.subItems[0]));
    }
}

// A text or picture of the same name opens in its viewer beside the window.
void FileBrowserPanel::ShowSideFiles(const FilePanel& panel)
{
    HideViewers();
    fForm.textViewerButton->setEnabled(false);
    fForm.pictureViewerButton->setEnabled(false);
    auto open = [this](auto* viewer, QToolButton* button, const std::string& path) {
        if (path.empty() || !viewer->LoadFromFile(path))
            return;
        button->setEnabled(true);
        PlaceViewers();
        viewer->SetStatus("Viewing " + QString::fromStdString(path).toLower().toStdString());
        viewer->show();
    };
    open(textViewer, fForm.textViewerButton, panel.textSideFile);
    open(pictureViewer, fForm.pictureViewerButton, panel.pictureSideFile);
}

void FileBrowserPanel::ShowCommentAndLibraries(const FilePanel& panel)
{
    WizardWindow& f = fForm;
    f.commentMemo->setPlainText(Comment(panel.comment, panel.kindText));
    f.commentMemo->setReadOnly(panel.commentReadOnly);
    f.librariesEdit->clear();
    f.librariesGroup->setVisible(panel.showLibraries);
    f.librariesEdit->setVisible(panel.showLibraries);
    f.librariesCaption->setVisible(panel.showLibraries);
    f.librariesEdit->setText(Calculator(panel.libraries));
    f.librariesEdit->setToolTip(QString::fromStdString(panel.libraryWarning));
}

void FileBrowserPanel::ResizeLayout()
{
    WizardWindow& f = fForm;
    const int w = std::max(f.width(), 550);
    f.fileInfoPanel->setFixedWidth(static_cast<int>(w * 0.245455));
    f.FitFileInfoWidth();
    const int frame = static_cast<int>(w * 0.225818);
    for (QFrame* bevel : {f.commentGroup, f.variablesGroup, f.librariesGroup})
        bevel->setFixedWidth(frame);
    f.ProcessMessages();
    f.commentMemo->setFixedWidth(frame - 2 - 4);
    f.includedVariableList->setFixedWidth(frame - 2 - 4);
    f.librariesEdit->setFixedWidth(frame - 2 - 4);
    const int listWidth = f.includedVariableList->width();
    f.includedVariableList->setColumnWidth(0, static_cast<int>(0.45 * listWidth));
    f.includedVariableList->setColumnWidth(1, static_cast<int>(0.28 * listWidth));
    f.includedVariableList->setColumnWidth(2, static_cast<int>(0.22 * listWidth));
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
    QComboBox* box = fForm.folderBox;
    QSignalBlocker block(box);
    box->removeItem(oldIndex);
    box->insertItem(0, folder);
    while (box->count() > kHistoryItems)
        box->removeItem(box->count() - 1);
    box->setCurrentIndex(0);
    box->setToolTip(box->itemText(0));
}

void FileBrowserPanel::onFolderPicked(int index)
{
    if (index < 0 || index >= fForm.folderBox->count())
        return;
    PutFolderFirst(fForm.folderBox->itemText(index), index);
    fForm.ProcessMessages();
    ListWithHistoryError();
}

void FileBrowserPanel::onBrowseClicked()
{
    QComboBox* box = fForm.folderBox;
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
    textViewer->hide();
    pictureViewer->hide();
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
    const ViewerPlacement text = fForm.textViewerPlace, picture = fForm.pictureViewerPlace;
    textViewer->Place(ToGeometry(text), main.top() + 130, main.left() + main.width(), screen);
    pictureViewer->Place(ToGeometry(picture), main.top(), main.left() + main.width(), screen);
    for (QWidget* viewer : {static_cast<QWidget*>(textViewer), static_cast<QWidget*>(pictureViewer)})
        viewer->resize(viewer->size().expandedTo(kViewerContentSize));
}

void FileBrowserPanel::ShowViewed(const ViewedVariable& v)
{
    PlaceViewers();
    if (v.kind == ViewedVariable::Kind::Text) {
        textViewer->show();
        textViewer->SetStatus(v.StatusText());
        // The viewer shows the one variable named in its status, nothing before it.
        textViewer->textEdit->clear();
        textViewer->AddLines(v.lines);
    } else if (v.kind == ViewedVariable::Kind::Picture) {
        pictureViewer->show();
        pictureViewer->SetStatus(v.StatusText());
        pictureViewer->ShowPicture(v.picture);
    }
}

void FileBrowserPanel::ExtractData(const std::string& path)
{
    if (fForm.includedVariableList->topLevelItemCount() >= 2) {
        fDialogs.MessageBox("You can only view single-text- or single-imagefiles!", "Linkwise", MsgIcon::Information,
                            MsgButtons::Ok);
        return;
    }
    if (fForm.includedVariableList->topLevelItemCount() == 1)
        fForm.includedVariableList->topLevelItem(0)->setSelected(true);
    try {
        ShowViewed(::ExtractData(path, 0));
    } catch (const std::exception& e) {
        fDialogs.MessageBox(e.what(), "Linkwise", MsgIcon::Error, MsgButtons::Ok);
    }
}

void FileBrowserPanel::onViewVariableClicked()
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

void FileBrowserPanel::onViewReceivedClicked()
{
    QTreeWidget* list = fForm.receivedList;
    int row = -1;
    for (int i = 0; i < list->topLevelItemCount() && row < 0; ++i)
        if (list->topLevelItem(i)->isSelected())
            row = i;
    if (row < 0)
        return;
    try {
        TempStore store(std::filesystem::path(fForm.settings.DataFile).parent_path());
        ShowViewed(ViewStoredVariable(store, static_cast<size_t>(row)));
    } catch (const std::exception& e) {
        fDialogs.MessageBox(e.what(), "Linkwise", MsgIcon::Error, MsgButtons::Ok);
    }
}
