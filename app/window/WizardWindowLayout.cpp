// The widgets of the main window and how they are laid out.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardPaths>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <initializer_list>
#include <utility>

#include "app/window/ElidedLabel.h"
#include "app/window/ReadyLampShape.h"
#include "app/window/ScreenImage.h"
#include "app/window/SvgPicture.h"
#include "app/window/WholeContentsScrollArea.h"
#include "app/window/WizardWindow.h"

namespace {

const char* const kPanelGrey = "background: rgb(183,183,183);";

template <typename W>
W* Named(W* w, const char* name)
{
    w->setObjectName(name);
    return w;
}

QLabel* Heading(const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    QFont f("Arial", 14, QFont::Bold);
    l->setFont(f);
    l->setStyleSheet("color: navy;");
    return l;
}

QLabel* Picture(const QString& name, int w, int h, QWidget* parent)
{
    auto* l = new QLabel(parent);
    l->setPixmap(SvgPicture(name, w, h));
    l->setFixedSize(w, h);
    return l;
}

QProgressBar* NewBar(const char* name, QWidget* parent)
{
    auto* b = Named(new QProgressBar(parent), name);
    b->setRange(0, 100);
    b->setValue(0);
    b->setTextVisible(false);
    b->setFixedHeight(14);
    return b;
}

QTreeWidget* ReportList(const char* name, const QStringList& columns, QWidget* parent)
{
    auto* t = Named(new QTreeWidget(parent), name);
    t->setColumnCount(static_cast<int>(columns.size()));
    t->setHeaderLabels(columns);
    t->setRootIsDecorated(false);
    t->setSelectionMode(QAbstractItemView::ExtendedSelection);
    t->setAllColumnsShowFocus(true);
    return t;
}

// One framed block of the file information panel: a caption over its
// widgets, each with its stretch factor.
void LayOutBlock(QFrame* frame, std::initializer_list<std::pair<QWidget*, int>> widgets)
{
    frame->setFrameShape(QFrame::StyledPanel);
    auto* box = new QVBoxLayout(frame);
    box->setContentsMargins(2, 2, 2, 2);
    for (const auto& [widget, stretch] : widgets)
        box->addWidget(widget, stretch);
}

QToolButton* TaskButton(const char* name, const QString& text, QWidget* parent)
{
    auto* b = Named(new QToolButton(parent), name);
    b->setText(text);
    b->setCheckable(true);
    b->setFixedSize(90, 26);
    QFont f = b->font();
    f.setBold(true);
    b->setFont(f);
    return b;
}

// The steps of the chosen task, on the grey of the left panel.
QListWidget* TaskStepList(QWidget* parent)
{
    auto* list = Named(new QListWidget(parent), "stepList");
    list->setFrameShape(QFrame::NoFrame);
    list->setStyleSheet(QString("QListWidget { %1 }").arg(kPanelGrey));
    list->setFont(QFont("Arial", 8));
    // Long step captions wrap instead of being cut.
    list->setWordWrap(true);
    list->setTextElideMode(Qt::ElideNone);
    list->setUniformItemSizes(false);
    list->setResizeMode(QListView::Adjust);
    list->setMinimumHeight(97);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->addItem("Choose what to do");
    list->item(0)->setToolTip("Choose what to do");
    return list;
}

}  // namespace

QWidget* WizardWindow::BuildLeftPanel()
{
    leftPanel = Named(new QFrame(this), "leftPanel");
    leftPanel->setFixedWidth(113);
    leftPanel->setFrameShape(QFrame::StyledPanel);
    leftPanel->setAutoFillBackground(true);
    leftPanel->setStyleSheet("QFrame#leftPanel { background: rgb(183,183,183); }");

    auto* frame = new QFrame(leftPanel);
    frame->setFrameShape(QFrame::Panel);
    frame->setFrameShadow(QFrame::Sunken);
    auto* fl = new QVBoxLayout(frame);
    fl->setContentsMargins(1, 1, 1, 1);
    programLogo = Named(Picture("logo", 95, 63, frame), "programLogo");
    fl->addWidget(programLogo);

    aboutButton = Named(new QPushButton("&About", leftPanel), "aboutButton");
    remoteButton = Named(new QPushButton("&Remote control", leftPanel), "remoteButton");
    quillboxButton = Named(new QPushButton("Quillbox", leftPanel), "quillboxButton");
    for (QPushButton* b : {aboutButton, remoteButton, quillboxButton}) {
        b->setFixedSize(97, 19);
        QFont f = b->font();
        f.setPointSize(8);
        b->setFont(f);
    }

    taskCaption = Named(new QLabel(kNoTaskCaption, leftPanel), "taskCaption");
    taskCaption->setWordWrap(true);
    QFont capFont = taskCaption->font();
    capFont.setBold(true);
    taskCaption->setFont(capFont);
    stepsLabel = Named(new QLabel("Steps:", leftPanel), "stepsLabel");

    stepList = TaskStepList(leftPanel);

    auto* l = new QVBoxLayout(leftPanel);
    l->setContentsMargins(7, 7, 7, 7);
    l->setSpacing(4);
    l->addWidget(frame);
    l->addSpacing(4);
    l->addWidget(aboutButton);
    l->addWidget(remoteButton);
    l->addWidget(quillboxButton);
    quillboxButton->setVisible(!QStandardPaths::findExecutable(kQuillboxProgram).isEmpty());
    l->addSpacing(6);
    l->addWidget(taskCaption);
    l->addWidget(stepsLabel);
    l->addWidget(stepList, 1);
    return leftPanel;
}

QWidget* WizardWindow::BuildTopStrip()
{
    helpStrip = Named(new QFrame(this), "helpStrip");
    // At least the designed height; taller when a help line needs more lines.
    helpStrip->setMinimumHeight(41);
    helpStrip->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    helpStrip->setFrameShape(QFrame::StyledPanel);
    helpStrip->setStyleSheet("QFrame#helpStrip { background: rgb(183,183,183); }");
    helpButton = Named(new QToolButton(helpStrip), "helpButton");
    helpButton->setIcon(QIcon(SvgPicture("help", 32, 32)));
    helpButton->setIconSize(QSize(32, 32));
    helpButton->setAutoRaise(true);
    helpButton->setToolTip("Click here to get help!");
    helpLine = Named(new QLabel("Welcome to Linkwise! Please select what you want to do!", helpStrip), "helpLine");
    helpLine->setWordWrap(true);
    helpLine->setFont(QFont("Tahoma", 8));
    auto* l = new QHBoxLayout(helpStrip);
    l->setContentsMargins(3, 2, 6, 2);
    l->addWidget(helpButton);
    l->addWidget(helpLine, 1);
    return helpStrip;
}

QWidget* WizardWindow::BuildMenuPage()
{
    auto* page = new QWidget;
    auto* l = new QGridLayout(page);
    l->addWidget(Heading("Welcome to Linkwise!", page), 0, 0, 1, 3);
    getButton = TaskButton("getButton", "Get!", page);
    sendButton = TaskButton("sendButton", "Send!", page);
    screenshotButton = TaskButton("screenshotButton", "Screenshot!", page);
    fargoButton = TaskButton("fargoButton", "Fargo!", page);
    const std::pair<QToolButton*, const char*> rows[] = {
        {getButton, "Receive variable(s) or memorybackup from the calculator"},
        {sendButton, "Send file(s) to the calculator"},
        {screenshotButton, "Receive a screenshot from the calculator"},
        {fargoButton, "Insert Fargo to the calculator"},
    };
    int row = 1;
    for (const auto& [button, line] : rows) {
        l->addWidget(button, row, 0);
        auto* text = new QLabel(line, page);
        text->setWordWrap(true);
        l->addWidget(text, row, 1);
        ++row;
    }
    l->addWidget(Picture("menu", 80, 80, page), 1, 2, 4, 1, Qt::AlignCenter);
    auto* f1 = new QLabel("Press F1 or click on the helpflag to get help!", page);
    QFont italic = f1->font();
    italic.setItalic(true);
    f1->setFont(italic);
    l->addWidget(f1, row++, 0, 1, 3);
    autoNextBox = Named(new QCheckBox("&Autoclick on Next when possible.", page), "autoNextBox");
    l->addWidget(autoNextBox, row++, 0, 1, 3);
    l->setRowStretch(row, 1);
    l->setColumnStretch(1, 1);
    return page;
}

QWidget* WizardWindow::BuildScreenShotPage()
{
    auto* page = new QWidget;
    auto* l = new QVBoxLayout(page);
    l->addWidget(Heading("Screenshot", page));
    screenshotImage = Named(new ScreenImage(page), "screenshotImage");
    grabButton = Named(new QPushButton("&Grab!", page), "grabButton");
    // The button above, so the picture has the page's width for a larger
    // whole factor.
    auto* row = new QHBoxLayout;
    row->addWidget(grabButton);
    row->addStretch();
    l->addLayout(row);
    l->addWidget(screenshotImage, 1);
    return page;
}

QWidget* WizardWindow::BuildScreenshotEditPage()
{
    auto* page = new QWidget;
    auto* l = new QVBoxLayout(page);
    l->addWidget(Heading("Save image", page));
    imageToSave = Named(new ScreenImage(page), "imageToSave");
    copyImageButton = Named(new QPushButton("&Copy image", page), "copyImageButton");
    saveImageButton = Named(new QPushButton("&Save image", page), "saveImageButton");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(copyImageButton);
    buttons->addWidget(saveImageButton);
    buttons->addStretch();
    l->addLayout(buttons);
    l->addWidget(imageToSave, 1);
    return page;
}

namespace {

// The comment a saved file carries; a file keeps 34 characters.
QLineEdit* CommentField(const char* name, QWidget* page)
{
    auto* edit = Named(new QLineEdit(page), name);
    edit->setMaxLength(34);
    edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * 38);
    return edit;
}

QHBoxLayout* CommentRow(QLineEdit* edit, QWidget* page)
{
    auto* row = new QHBoxLayout;
    auto* label = new QLabel("Co&mment of the file:", page);
    label->setBuddy(edit);
    row->addWidget(label);
    row->addWidget(edit, 1);
    return row;
}

}  // namespace

QWidget* WizardWindow::BuildReceivePage()
{
    auto* page = new QWidget;
    auto* l = new QVBoxLayout(page);
    l->addWidget(Heading("What to receive?", page));
    backupRadio = Named(new QRadioButton("A complete memory-backup", page), "backupRadio");
    variablesRadio = Named(new QRadioButton("The selected variable(s)", page), "variablesRadio");
    variablesRadio->setChecked(true);
    l->addWidget(backupRadio);
    backupCommentEdit = CommentField("backupCommentEdit", page);
    backupCommentEdit->setEnabled(false);
    l->addLayout(CommentRow(backupCommentEdit, page));
    l->addWidget(variablesRadio);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel("This is the content of the calculator:", page), 1);
    updateListButton = Named(new QPushButton("&Update", page), "updateListButton");
    row->addWidget(updateListButton);
    l->addLayout(row);
    calculatorList = ReportList("calculatorList", {"Name", "Type", "Size"}, page);
    calculatorList->setColumnWidth(0, 110);
    calculatorList->setColumnWidth(1, 80);
    l->addWidget(calculatorList, 1);
    return page;
}

// The panel beside the file list: name, description, the three framed
// blocks (comment, variables, libraries) and the size row.
void WizardWindow::BuildFileInfoPanel(QWidget* page)
{
    fileInfoPanel = Named(new QFrame(page), "fileInfoPanel");
    fileInfoPanel->setFrameShape(QFrame::StyledPanel);
    fileInfoPanel->setFixedWidth(150);
    fileTitleLabel = Named(new QLabel(kNoFileInfo, fileInfoPanel), "fileTitleLabel");
    QFont bold = fileTitleLabel->font();
    bold.setBold(true);
    fileTitleLabel->setFont(bold);
    fileKindLabel = Named(new QLabel("-", fileInfoPanel), "fileKindLabel");

    commentGroup = Named(new QFrame(fileInfoPanel), "commentGroup");
    commentCaption = Named(new QLabel("Full comment:", commentGroup), "commentCaption");
    commentMemo = Named(new QPlainTextEdit(commentGroup), "commentMemo");
    commentMemo->setReadOnly(true);
    commentMemo->setMaximumHeight(40);
    LayOutBlock(commentGroup, {{commentCaption, 0}, {commentMemo, 0}});
    commentGroup->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);

    variablesGroup = Named(new QFrame(fileInfoPanel), "variablesGroup");
    variablesCaption = Named(new QLabel("Included variables:", variablesGroup), "variablesCaption");
    includedVariableList = ReportList("includedVariableList", {"Name", "Type", "Size"}, variablesGroup);
    viewVariableButton = Named(new QPushButton("&View", variablesGroup), "viewVariableButton");
    extractButton = Named(new QPushButton("E&xtract", variablesGroup), "extractButton");
    renameVariableButton = Named(new QPushButton("Rena&me", variablesGroup), "renameVariableButton");
    removeFromGroupButton = Named(new QPushButton("Remove from group", variablesGroup), "removeFromGroupButton");
    auto* variableButtons = new QWidget(variablesGroup);
    auto* grid = new QGridLayout(variableButtons);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(2);
    grid->addWidget(viewVariableButton, 0, 0);
    grid->addWidget(extractButton, 0, 1);
    grid->addWidget(renameVariableButton, 1, 0, 1, 2);
    grid->addWidget(removeFromGroupButton, 2, 0, 1, 2);
    LayOutBlock(variablesGroup, {{variablesCaption, 0}, {includedVariableList, 1}, {variableButtons, 0}});

    librariesGroup = Named(new QFrame(fileInfoPanel), "librariesGroup");
    librariesCaption = Named(new QLabel("Required libraries (fargo):", librariesGroup), "librariesCaption");
    librariesEdit = Named(new QLineEdit(librariesGroup), "librariesEdit");
    librariesEdit->setReadOnly(true);
    LayOutBlock(librariesGroup, {{librariesCaption, 0}, {librariesEdit, 0}});

    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(new QLabel("Size:", fileInfoPanel));
    selectionSizeLabel = Named(new QLabel("(unknown)", fileInfoPanel), "selectionSizeLabel");
    selectionSizeLabel->setFont(QFont("Arial", 8));
    sizeRow->addWidget(selectionSizeLabel, 1);
    textViewerButton = Named(new QToolButton(fileInfoPanel), "textViewerButton");
    textViewerButton->setText("T");
    textViewerButton->setToolTip("Show textwindow");
    pictureViewerButton = Named(new QToolButton(fileInfoPanel), "pictureViewerButton");
    pictureViewerButton->setText("S");
    pictureViewerButton->setToolTip("Show screenshotwindow");
    sizeRow->addWidget(textViewerButton);
    sizeRow->addWidget(pictureViewerButton);

    // The panel is narrow: its labels wrap instead of being cut.
    for (QLabel* label : {fileTitleLabel, fileKindLabel, commentCaption, variablesCaption, librariesCaption})
        label->setWordWrap(true);
    auto* info = new QVBoxLayout(fileInfoPanel);
    info->setContentsMargins(3, 3, 3, 3);
    info->setSpacing(2);
    info->addWidget(fileTitleLabel);
    info->addWidget(fileKindLabel);
    info->addWidget(commentGroup);
    info->addWidget(variablesGroup, 1);
    info->addWidget(librariesGroup);
    // Takes the room the variables leave when they are hidden (a text
    // file), so the comment block stays as tall as its contents.
    info->addStretch(0);
    info->addLayout(sizeRow);
}

void WizardWindow::FitFileInfoWidth()
{
    const QScrollBar* bar = fileInfoScroll->verticalScrollBar();
    fileInfoScroll->setFixedWidth(fileInfoPanel->minimumWidth() + (bar->maximum() > 0 ? bar->sizeHint().width() : 0));
}

QWidget* WizardWindow::BuildFileSelectPage()
{
    auto* page = new QWidget;
    auto* l = new QVBoxLayout(page);
    l->setSpacing(3);
    l->addWidget(Heading("Select file", page));

    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(new QLabel("Folder:", page));
    folderBox = Named(new QComboBox(page), "folderBox");
    folderBox->setMinimumContentsLength(10);
    folderBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    folderRow->addWidget(folderBox, 1);
    browseButton = Named(new QPushButton("&Browse..", page), "browseButton");
    folderRow->addWidget(browseButton);
    l->addLayout(folderRow);

    fileList = ReportList("fileList", {"Filename", "Comment", "Type", "Size"}, page);
    // The comment takes what the other columns, fitted to their content, leave.
    fileList->header()->setStretchLastSection(false);
    fileList->header()->setSectionResizeMode(1, QHeaderView::Stretch);

    BuildFileInfoPanel(page);

    auto* middle = new QHBoxLayout;
    middle->addWidget(fileList, 1);
    // On a short screen the panel scrolls instead of making the window taller
    // than the screen; the scroll bar, when there is one, widens it.
    fileInfoScroll = Named(new WholeContentsScrollArea(fileInfoPanel, page), "fileInfoScroll");
    fileInfoScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(fileInfoScroll->verticalScrollBar(), &QScrollBar::rangeChanged, this, &WizardWindow::FitFileInfoWidth);
    FitFileInfoWidth();
    middle->addWidget(fileInfoScroll);
    l->addLayout(middle, 1);

    auto* buttons = new QHBoxLayout;
    showFilesButton = Named(new QPushButton("Show &files..", page), "showFilesButton");
    updateFilesButton = Named(new QPushButton("Update!", page), "updateFilesButton");
    buttons->addWidget(showFilesButton);
    buttons->addWidget(updateFilesButton);
    groupFilesButton = Named(new QPushButton("&Group selected files", page), "groupFilesButton");
    buttons->addWidget(groupFilesButton);
    buttons->addStretch();
    l->addLayout(buttons);
    return page;
}

QWidget* WizardWindow::BuildReceiveProgressPage()
{
    auto* page = new QWidget;
    auto* l = new QGridLayout(page);
    l->addWidget(Heading("Transfer", page), 0, 0, 1, 3);
    l->addWidget(new QLabel("Status:", page), 1, 0);
    transferLabel = Named(new QLabel("Transfer has not started yet..", page), "transferLabel");
    transferLabel->setWordWrap(true);
    l->addWidget(transferLabel, 1, 1);
    l->addWidget(new QLabel("This variable:", page), 2, 0);
    variableProgress = NewBar("variableProgress", page);
    l->addWidget(variableProgress, 2, 1);
    l->addWidget(new QLabel("Totally:", page), 3, 0);
    totalProgress = NewBar("totalProgress", page);
    l->addWidget(totalProgress, 3, 1);
    variablesLabel = Named(new QLabel("Variables to get:", page), "variablesLabel");
    l->addWidget(variablesLabel, 4, 0, 1, 2);
    variableList = Named(new QListWidget(page), "variableList");
    l->addWidget(variableList, 5, 0, 1, 2);
    l->addWidget(Picture("transfer", 80, 80, page), 1, 2, 5, 1, Qt::AlignTop | Qt::AlignHCenter);
    l->setColumnStretch(1, 1);
    l->setRowStretch(5, 1);
    return page;
}

QWidget* WizardWindow::BuildReceiveLocalPage()
{
    auto* page = new QWidget;
    auto* l = new QVBoxLayout(page);
    l->addWidget(Heading("Save received", page));
    receivedList = ReportList("receivedList", {"Name", "Type", "Size"}, page);
    receivedList->setColumnWidth(0, 110);
    receivedList->setColumnWidth(1, 80);
    saveToFileButton = Named(new QPushButton("&Save to file", page), "saveToFileButton");
    viewReceivedButton = Named(new QPushButton("&View", page), "viewReceivedButton");
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(saveToFileButton);
    buttons->addWidget(viewReceivedButton);
    buttons->addStretch();
    auto* row = new QHBoxLayout;
    row->addWidget(receivedList, 1);
    row->addLayout(buttons);
    l->addLayout(row, 1);
    saveCommentEdit = CommentField("saveCommentEdit", page);
    l->addLayout(CommentRow(saveCommentEdit, page));
    saveProgress = NewBar("saveProgress", page);
    l->addWidget(saveProgress);
    saveStatusLabel = Named(new QLabel("(idle)", page), "saveStatusLabel");
    l->addWidget(saveStatusLabel);
    return page;
}

QWidget* WizardWindow::BuildSaveBackupPage()
{
    auto* page = new QWidget;
    auto* l = new QVBoxLayout(page);
    l->addWidget(Heading("Save backup", page));
    auto* text = new QLabel("The memory-backup was successfully received! Linkwise will now save "
                            "the backup to a local file.",
                            page);
    text->setWordWrap(true);
    l->addWidget(text);
    backupSaveProgress = NewBar("backupSaveProgress", page);
    l->addWidget(backupSaveProgress);
    backupSaveStatusLabel = Named(new QLabel("(idle)", page), "backupSaveStatusLabel");
    l->addWidget(backupSaveStatusLabel);
    l->addStretch();
    return page;
}

QWidget* WizardWindow::BuildConvertTxtPage()
{
    auto* page = new QWidget;
    auto* l = new QGridLayout(page);
    convertHeading = Heading("Convert text", page);
    convertHeading->setObjectName("convertHeading");
    l->addWidget(convertHeading, 0, 0, 1, 2);
    l->addWidget(new QLabel("Convert file:", page), 1, 0);
    convertFromEdit = Named(new QLineEdit(page), "convertFromEdit");
    l->addWidget(convertFromEdit, 1, 1);
    l->addWidget(new QLabel("To:", page), 2, 0);
    convertToEdit = Named(new QLineEdit(page), "convertToEdit");
    l->addWidget(convertToEdit, 2, 1);
    convertCommentEdit = CommentField("convertCommentEdit", page);
    auto* commentLabel = new QLabel("Co&mment of the file:", page);
    commentLabel->setBuddy(convertCommentEdit);
    l->addWidget(commentLabel, 3, 0);
    l->addWidget(convertCommentEdit, 3, 1);
    convertButton = Named(new QPushButton("&Convert", page), "convertButton");
    convertButton->setEnabled(false);
    l->addWidget(convertButton, 4, 1, Qt::AlignRight);
    convertProgress = NewBar("convertProgress", page);
    l->addWidget(convertProgress, 5, 0, 1, 2);
    convertStatusLabel = Named(new QLabel("(idle)", page), "convertStatusLabel");
    l->addWidget(convertStatusLabel, 6, 0, 1, 2);
    l->setRowStretch(7, 1);
    l->setColumnStretch(1, 1);
    return page;
}

QWidget* WizardWindow::BuildFinishedPage()
{
    auto* page = new QWidget;
    auto* l = new QGridLayout(page);
    l->addWidget(Heading("Finished!", page), 0, 0, 1, 2);
    auto* panel = new QFrame(page);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    auto* pl = new QVBoxLayout(panel);
    pl->setContentsMargins(1, 1, 1, 1);
    reportMemo = Named(new QPlainTextEdit(panel), "reportMemo");
    reportMemo->setFrameShape(QFrame::NoFrame);
    reportMemo->setStyleSheet(QString("QPlainTextEdit { %1 }").arg(kPanelGrey));
    reportMemo->setFont(QFont("Tahoma", 8));
    reportMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    reportMemo->setMinimumSize(201, 153);
    pl->addWidget(reportMemo);
    l->addWidget(panel, 1, 0);
    outcomeImage = Named(Picture("finished", 80, 80, page), "outcomeImage");
    l->addWidget(outcomeImage, 1, 1, Qt::AlignTop | Qt::AlignHCenter);
    l->setColumnStretch(0, 1);
    l->setRowStretch(1, 1);
    return page;
}

QWidget* WizardWindow::BuildFargoVerPage()
{
    auto* page = new QWidget;
    auto* l = new QGridLayout(page);
    l->addWidget(Heading("Select Fargoversion", page), 0, 0, 1, 2);
    newFargoRadio = Named(new QRadioButton("Fargo v2.x", page), "newFargoRadio");
    newFargoRadio->setChecked(true);
    oldFargoRadio = Named(new QRadioButton("Fargo v1.x", page), "oldFargoRadio");
    auto* recommended = new QLabel("(recommended)", page);
    auto* newText = new QLabel("The \"new\" Fargo is faster and takes more advantage of the new "
                               "processor. All new assembly programs are made for Fargo 2.",
                               page);
    auto* oldText = new QLabel("The \"old\" Fargo does not use the processor as good as the new "
                               "Fargo, but there are more programs and games for the old version.",
                               page);
    newText->setWordWrap(true);
    oldText->setWordWrap(true);
    for (QLabel* t : {newText, oldText})
        t->setContentsMargins(20, 0, 0, 6);
    auto* newRow = new QHBoxLayout;
    newRow->addWidget(newFargoRadio);
    newRow->addWidget(recommended);
    newRow->addStretch();
    l->addLayout(newRow, 1, 0, 1, 2);
    l->addWidget(newText, 2, 0, 1, 2);
    l->addWidget(oldFargoRadio, 3, 0, 1, 2);
    l->addWidget(oldText, 4, 0, 1, 2);
    whatIsFargoButton = Named(new QPushButton("&What is Fargo?", page), "whatIsFargoButton");
    l->addWidget(whatIsFargoButton, 5, 0);
    l->setRowStretch(6, 1);
    l->setColumnStretch(1, 1);
    return page;
}

QWidget* WizardWindow::BuildBottomBar()
{
    // The status line has a row of its own, so a long status is not hidden
    // behind the buttons; what still does not fit ends in "…" and shows
    // whole in the tooltip.
    auto* bar = new QWidget(this);
    auto* rows = new QVBoxLayout(bar);
    rows->setContentsMargins(6, 3, 6, 5);
    rows->setSpacing(3);
    auto* status = new QHBoxLayout;
    readyLamp = new ReadyLampShape(bar);
    status->addWidget(readyLamp);
    status->addWidget(new QLabel("Current status:", bar));
    statusLabel = Named(new ElidedLabel(kIdleStatus, bar), "statusLabel");
    status->addWidget(statusLabel, 1);
    findCalculatorButton = Named(new QPushButton("Find calculator...", bar), "findCalculatorButton");
    findCalculatorButton->setToolTip("The calculator did not answer: look for it on every likely device and cable, "
                                     "and see what stands in the way");
    findCalculatorButton->hide();
    status->addWidget(findCalculatorButton);
    rows->addLayout(status);
    auto* l = new QHBoxLayout;
    l->addStretch(1);
    rows->addLayout(l);
    settingsButton = Named(new QPushButton("&Settings", bar), "settingsButton");
    previousButton = Named(new QPushButton("&Previous", bar), "previousButton");
    nextButton = Named(new QPushButton("&Next", bar), "nextButton");
    nextButton->setIcon(QIcon(SvgPicture("next", 16, 16)));
    nextButton->setLayoutDirection(Qt::RightToLeft);  // glyph on the right
    cancelButton = Named(new QPushButton("E&xit!", bar), "cancelButton");
    previousButton->setEnabled(false);
    nextButton->setEnabled(false);
    for (QPushButton* b : {settingsButton, previousButton, nextButton, cancelButton}) {
        b->setMinimumWidth(70);
        l->addWidget(b);
    }
    return bar;
}

void WizardWindow::BuildWidgets()
{
    setObjectName("WizardWindow");
    setWindowTitle("Linkwise");
    setWindowIcon(QIcon(SvgPicture("logo", 64, 42)));

    pageStack = Named(new WizardPages(this), "pageStack");
    const std::pair<const char*, QWidget*> pages[kPageCount] = {
        {"Menu", BuildMenuPage()},
        {"ScreenShot", BuildScreenShotPage()},
        {"Screenshotedit", BuildScreenshotEditPage()},
        {"Receive", BuildReceivePage()},
        {"FileSelect", BuildFileSelectPage()},
        {"ReceiveProgress", BuildReceiveProgressPage()},
        {"Receivelocal", BuildReceiveLocalPage()},
        {"SaveBackup", BuildSaveBackupPage()},
        {"ConvertTxt", BuildConvertTxtPage()},
        {"Finished", BuildFinishedPage()},
        {"FargoVer", BuildFargoVerPage()},
    };
    for (int i = 0; i < kPageCount; ++i) {
        pageWidgets[i] = pages[i].second;
        pageWidgets[i]->setObjectName(pages[i].first);
        pageWidgets[i]->setToolTip(PageHint(i));
        pageStack->addWidget(pageWidgets[i]);
    }

    auto* right = new QVBoxLayout;
    right->setSpacing(0);
    right->addWidget(BuildTopStrip());
    right->addWidget(pageStack, 1);
    auto* top = new QHBoxLayout;
    top->setSpacing(0);
    top->addWidget(BuildLeftPanel());
    top->addLayout(right, 1);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addLayout(top, 1);
    outer->addWidget(line);
    outer->addWidget(BuildBottomBar());

    contextMenu = Named(new QMenu(this), "contextMenu");
    helpLineAction = contextMenu->addAction("Show top-helpline");
    helpLineAction->setObjectName("helpLineAction");
    helpLineAction->setCheckable(true);
    helpLineAction->setChecked(true);
    leftPanelAction = contextMenu->addAction("Show left-information");
    leftPanelAction->setObjectName("leftPanelAction");
    leftPanelAction->setCheckable(true);
    leftPanelAction->setChecked(true);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { contextMenu->popup(mapToGlobal(at)); });

    resize(595, 398);
}
