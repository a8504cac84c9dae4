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
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <initializer_list>
#include <utility>

#include "app/window/ElidedLabel.h"
#include "app/window/ReadyLampShape.h"
#include "app/window/SvgPicture.h"
#include "app/window/TForm1.h"
#include "app/window/TScreenImage.h"

namespace {

const char* const kPanelGrey = "background: rgb(183,183,183);";

template <typename W> W* Named(W* w, const char* name)
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
    auto* list = Named(new QListWidget(parent), "TaskListbox");
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

QWidget* TForm1::BuildLeftPanel()
{
    Panel1 = Named(new QFrame(this), "Panel1");
    Panel1->setFixedWidth(113);
    Panel1->setFrameShape(QFrame::StyledPanel);
    Panel1->setAutoFillBackground(true);
    Panel1->setStyleSheet("QFrame#Panel1 { background: rgb(183,183,183); }");

    auto* frame = new QFrame(Panel1);
    frame->setFrameShape(QFrame::Panel);
    frame->setFrameShadow(QFrame::Sunken);
    auto* fl = new QVBoxLayout(frame);
    fl->setContentsMargins(1, 1, 1, 1);
    ProgramImage = Named(Picture("logo", 95, 63, frame), "ProgramImage");
    fl->addWidget(ProgramImage);

    AboutBtn = Named(new QPushButton("&About", Panel1), "AboutBtn");
    RemoteBtn = Named(new QPushButton("&Remote control", Panel1), "RemoteBtn");
    QuillboxBtn = Named(new QPushButton("Quillbox", Panel1), "QuillboxBtn");
    for (QPushButton* b : {AboutBtn, RemoteBtn, QuillboxBtn}) {
        b->setFixedSize(97, 19);
        QFont f = b->font();
        f.setPointSize(8);
        b->setFont(f);
    }

    TaskCaption = Named(new QLabel(kNoTaskCaption, Panel1), "TaskCaption");
    TaskCaption->setWordWrap(true);
    QFont capFont = TaskCaption->font();
    capFont.setBold(true);
    TaskCaption->setFont(capFont);
    StepsLabel = Named(new QLabel("Steps:", Panel1), "StepsLabel");

    TaskListbox = TaskStepList(Panel1);

    auto* l = new QVBoxLayout(Panel1);
    l->setContentsMargins(7, 7, 7, 7);
    l->setSpacing(4);
    l->addWidget(frame);
    l->addSpacing(4);
    l->addWidget(AboutBtn);
    l->addWidget(RemoteBtn);
    l->addWidget(QuillboxBtn);
    l->addSpacing(6);
    l->addWidget(TaskCaption);
    l->addWidget(StepsLabel);
    l->addWidget(TaskListbox, 1);
    return Panel1;
}

QWidget* TForm1::BuildTopStrip()
{
    Panel16 = Named(new QFrame(this), "Panel16");
    // At least the designed height; taller when a help line needs more lines.
    Panel16->setMinimumHeight(41);
    Panel16->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    Panel16->setFrameShape(QFrame::StyledPanel);
    Panel16->setStyleSheet("QFrame#Panel16 { background: rgb(183,183,183); }");
    hlpImage = Named(new QToolButton(Panel16), "hlpImage");
    hlpImage->setIcon(QIcon(SvgPicture("help", 32, 32)));
    hlpImage->setIconSize(QSize(32, 32));
    hlpImage->setAutoRaise(true);
    hlpImage->setToolTip("Click here to get help!");
    hlpLine = Named(new QLabel("Welcome to Linkwise! Please select what you want to do!", Panel16),
                    "hlpLine");
    hlpLine->setWordWrap(true);
    hlpLine->setFont(QFont("Tahoma", 8));
    auto* l = new QHBoxLayout(Panel16);
    l->setContentsMargins(3, 2, 6, 2);
    l->addWidget(hlpImage);
    l->addWidget(hlpLine, 1);
    return Panel16;
}

QWidget* TForm1::BuildMenuPage()
{
    auto* page = new QWidget;
    auto* l = new QGridLayout(page);
    l->addWidget(Heading("Welcome to Linkwise!", page), 0, 0, 1, 3);
    SpeedButton3 = TaskButton("SpeedButton3", "Get!", page);
    SpeedButton4 = TaskButton("SpeedButton4", "Send!", page);
    SpeedButton1 = TaskButton("SpeedButton1", "Screenshot!", page);
    SpeedButton5 = TaskButton("SpeedButton5", "Fargo!", page);
    const std::pair<QToolButton*, const char*> rows[] = {
        {SpeedButton3, "Receive variable(s) or memorybackup from the calculator"},
        {SpeedButton4, "Send file(s) to the calculator"},
        {SpeedButton1, "Receive a screenshot from the calculator"},
        {SpeedButton5, "Insert Fargo to the calculator"},
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
    AutoNext = Named(new QCheckBox("&Autoclick on Next when possible.", page), "AutoNext");
    l->addWidget(AutoNext, row++, 0, 1, 3);
    l->setRowStretch(row, 1);
    l->setColumnStretch(1, 1);
    return page;
}

QWidget* TForm1::BuildScreenShotPage()
{
    auto* page = new QWidget;
    auto* l = new QVBoxLayout(page);
    l->addWidget(Heading("Screenshot", page));
    ScrShot = Named(new TScreenImage(page), "ScrShot");
    GrabBtn = Named(new QPushButton("&Grab!", page), "GrabBtn");
    // The button above, so the picture has the page's width for a larger
    // whole factor.
    auto* row = new QHBoxLayout;
    row->addWidget(GrabBtn);
    row->addStretch();
    l->addLayout(row);
    l->addWidget(ScrShot, 1);
    return page;
}

QWidget* TForm1::BuildScreenshotEditPage()
{
    auto* page = new QWidget;
    auto* l = new QVBoxLayout(page);
    l->addWidget(Heading("Save image", page));
    ScrShot2 = Named(new TScreenImage(page), "ScrShot2");
    CopyImageBtn = Named(new QPushButton("&Copy image", page), "CopyImageBtn");
    SaveImageBtn = Named(new QPushButton("&Save image", page), "SaveImageBtn");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(CopyImageBtn);
    buttons->addWidget(SaveImageBtn);
    buttons->addStretch();
    l->addLayout(buttons);
    l->addWidget(ScrShot2, 1);
    return page;
}

QWidget* TForm1::BuildReceivePage()
{
    auto* page = new QWidget;
    auto* l = new QVBoxLayout(page);
    l->addWidget(Heading("What to receive?", page));
    BackupRadio = Named(new QRadioButton("A complete memory-backup", page), "BackupRadio");
    VarRadio = Named(new QRadioButton("The selected variable(s)", page), "VarRadio");
    VarRadio->setChecked(true);
    l->addWidget(BackupRadio);
    l->addWidget(VarRadio);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel("This is the content of the calculator:", page), 1);
    BitBtn1 = Named(new QPushButton("&Update", page), "BitBtn1");
    row->addWidget(BitBtn1);
    l->addLayout(row);
    ListView1 = ReportList("ListView1", {"Name", "Type", "Size"}, page);
    ListView1->setColumnWidth(0, 110);
    ListView1->setColumnWidth(1, 80);
    l->addWidget(ListView1, 1);
    return page;
}

// The panel beside the file list: name, description, the three framed
// blocks (comment, variables, libraries) and the size row.
void TForm1::BuildFileInfoPanel(QWidget* page)
{
    FileInfoPanel = Named(new QFrame(page), "FileInfoPanel");
    FileInfoPanel->setFrameShape(QFrame::StyledPanel);
    FileInfoPanel->setFixedWidth(150);
    Label23 = Named(new QLabel(kNoFileInfo, FileInfoPanel), "Label23");
    QFont bold = Label23->font();
    bold.setBold(true);
    Label23->setFont(bold);
    Label26 = Named(new QLabel("-", FileInfoPanel), "Label26");

    Bevel1 = Named(new QFrame(FileInfoPanel), "Bevel1");
    Label24 = Named(new QLabel("Full comment:", Bevel1), "Label24");
    Memo1 = Named(new QPlainTextEdit(Bevel1), "Memo1");
    Memo1->setReadOnly(true);
    Memo1->setMaximumHeight(40);
    LayOutBlock(Bevel1, {{Label24, 0}, {Memo1, 0}});

    Bevel2 = Named(new QFrame(FileInfoPanel), "Bevel2");
    Label25 = Named(new QLabel("Included variables:", Bevel2), "Label25");
    IncVarList = ReportList("IncVarList", {"Name", "Type"}, Bevel2);
    ViewBtn = Named(new QPushButton("&View", Bevel2), "ViewBtn");
    LayOutBlock(Bevel2, {{Label25, 0}, {IncVarList, 1}, {ViewBtn, 0}});

    Bevel3 = Named(new QFrame(FileInfoPanel), "Bevel3");
    Label27 = Named(new QLabel("Required libraries (fargo):", Bevel3), "Label27");
    Edit1 = Named(new QLineEdit(Bevel3), "Edit1");
    Edit1->setReadOnly(true);
    LayOutBlock(Bevel3, {{Label27, 0}, {Edit1, 0}});

    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(new QLabel("Size:", FileInfoPanel));
    TotSize = Named(new QLabel("(unknown)", FileInfoPanel), "TotSize");
    TotSize->setFont(QFont("Arial", 8));
    sizeRow->addWidget(TotSize, 1);
    TxtBtn = Named(new QToolButton(FileInfoPanel), "TxtBtn");
    TxtBtn->setText("T");
    TxtBtn->setToolTip("Show textwindow");
    ScrBtn = Named(new QToolButton(FileInfoPanel), "ScrBtn");
    ScrBtn->setText("S");
    ScrBtn->setToolTip("Show screenshotwindow");
    sizeRow->addWidget(TxtBtn);
    sizeRow->addWidget(ScrBtn);

    // The panel is narrow: its labels wrap instead of being cut.
    for (QLabel* label : {Label23, Label26, Label24, Label25, Label27})
        label->setWordWrap(true);
    auto* info = new QVBoxLayout(FileInfoPanel);
    info->setContentsMargins(3, 3, 3, 3);
    info->setSpacing(2);
    info->addWidget(Label23);
    info->addWidget(Label26);
    info->addWidget(Bevel1);
    info->addWidget(Bevel2, 1);
    info->addWidget(Bevel3);
    info->addLayout(sizeRow);
}

QWidget* TForm1::BuildFileSelectPage()
{
    auto* page = new QWidget;
    auto* l = new QVBoxLayout(page);
    l->setSpacing(3);
    l->addWidget(Heading("Select file", page));

    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(new QLabel("Folder:", page));
    ComboBox1 = Named(new QComboBox(page), "ComboBox1");
    ComboBox1->setMinimumContentsLength(10);
    ComboBox1->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    folderRow->addWidget(ComboBox1, 1);
    BrowseBtn = Named(new QPushButton("&Browse..", page), "BrowseBtn");
    folderRow->addWidget(BrowseBtn);
    l->addLayout(folderRow);

    FileList = ReportList("FileList", {"Filename", "Comment", "Type", "Size"}, page);
    // The comment takes what the other columns, fitted to their content, leave.
    FileList->header()->setStretchLastSection(false);
    FileList->header()->setSectionResizeMode(1, QHeaderView::Stretch);

    BuildFileInfoPanel(page);

    auto* middle = new QHBoxLayout;
    middle->addWidget(FileList, 1);
    middle->addWidget(FileInfoPanel);
    l->addLayout(middle, 1);

    auto* buttons = new QHBoxLayout;
    ShowFilesBtn = Named(new QPushButton("Show &files..", page), "ShowFilesBtn");
    UpdateBtn = Named(new QPushButton("Update!", page), "UpdateBtn");
    buttons->addWidget(ShowFilesBtn);
    buttons->addWidget(UpdateBtn);
    buttons->addStretch();
    l->addLayout(buttons);
    return page;
}

QWidget* TForm1::BuildReceiveProgressPage()
{
    auto* page = new QWidget;
    auto* l = new QGridLayout(page);
    l->addWidget(Heading("Transfer", page), 0, 0, 1, 3);
    l->addWidget(new QLabel("Status:", page), 1, 0);
    trLabel = Named(new QLabel("Transfer has not started yet..", page), "trLabel");
    trLabel->setWordWrap(true);
    l->addWidget(trLabel, 1, 1);
    l->addWidget(new QLabel("This variable:", page), 2, 0);
    varBar = NewBar("varBar", page);
    l->addWidget(varBar, 2, 1);
    l->addWidget(new QLabel("Totally:", page), 3, 0);
    totBar = NewBar("totBar", page);
    l->addWidget(totBar, 3, 1);
    Label18 = Named(new QLabel("Variables to get:", page), "Label18");
    l->addWidget(Label18, 4, 0, 1, 2);
    varList = Named(new QListWidget(page), "varList");
    l->addWidget(varList, 5, 0, 1, 2);
    l->addWidget(Picture("transfer", 80, 80, page), 1, 2, 5, 1, Qt::AlignTop | Qt::AlignHCenter);
    l->setColumnStretch(1, 1);
    l->setRowStretch(5, 1);
    return page;
}

QWidget* TForm1::BuildReceiveLocalPage()
{
    auto* page = new QWidget;
    auto* l = new QVBoxLayout(page);
    l->addWidget(Heading("Save received", page));
    ListView2 = ReportList("ListView2", {"Name", "Type", "Size"}, page);
    ListView2->setColumnWidth(0, 110);
    ListView2->setColumnWidth(1, 80);
    SaveToFileBtn = Named(new QPushButton("&Save to file", page), "SaveToFileBtn");
    ViewVarBtn = Named(new QPushButton("&View", page), "ViewVarBtn");
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(SaveToFileBtn);
    buttons->addWidget(ViewVarBtn);
    buttons->addStretch();
    auto* row = new QHBoxLayout;
    row->addWidget(ListView2, 1);
    row->addLayout(buttons);
    l->addLayout(row, 1);
    SaveBar = NewBar("SaveBar", page);
    l->addWidget(SaveBar);
    SaveStatus = Named(new QLabel("(idle)", page), "SaveStatus");
    l->addWidget(SaveStatus);
    return page;
}

QWidget* TForm1::BuildSaveBackupPage()
{
    auto* page = new QWidget;
    auto* l = new QVBoxLayout(page);
    l->addWidget(Heading("Save backup", page));
    auto* text = new QLabel("The memory-backup was successfully received! Linkwise will now save "
                            "the backup to a local file.",
                            page);
    text->setWordWrap(true);
    l->addWidget(text);
    SaveBackupBar = NewBar("SaveBackupBar", page);
    l->addWidget(SaveBackupBar);
    Label33 = Named(new QLabel("(idle)", page), "Label33");
    l->addWidget(Label33);
    l->addStretch();
    return page;
}

QWidget* TForm1::BuildConvertTxtPage()
{
    auto* page = new QWidget;
    auto* l = new QGridLayout(page);
    Label21 = Heading("Convert text", page);
    Label21->setObjectName("Label21");
    l->addWidget(Label21, 0, 0, 1, 2);
    l->addWidget(new QLabel("Convert file:", page), 1, 0);
    ConvertFile = Named(new QLineEdit(page), "ConvertFile");
    l->addWidget(ConvertFile, 1, 1);
    l->addWidget(new QLabel("To:", page), 2, 0);
    ConvertTo = Named(new QLineEdit(page), "ConvertTo");
    l->addWidget(ConvertTo, 2, 1);
    ConvertBar = NewBar("ConvertBar", page);
    l->addWidget(ConvertBar, 3, 0, 1, 2);
    ConvertStat = Named(new QLabel("(idle)", page), "ConvertStat");
    l->addWidget(ConvertStat, 4, 0, 1, 2);
    l->setRowStretch(5, 1);
    l->setColumnStretch(1, 1);
    return page;
}

QWidget* TForm1::BuildFinishedPage()
{
    auto* page = new QWidget;
    auto* l = new QGridLayout(page);
    l->addWidget(Heading("Finished!", page), 0, 0, 1, 2);
    auto* panel = new QFrame(page);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    auto* pl = new QVBoxLayout(panel);
    pl->setContentsMargins(1, 1, 1, 1);
    StatusMemo = Named(new QPlainTextEdit(panel), "StatusMemo");
    StatusMemo->setFrameShape(QFrame::NoFrame);
    StatusMemo->setStyleSheet(QString("QPlainTextEdit { %1 }").arg(kPanelGrey));
    StatusMemo->setFont(QFont("Tahoma", 8));
    StatusMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    StatusMemo->setMinimumSize(201, 153);
    pl->addWidget(StatusMemo);
    l->addWidget(panel, 1, 0);
    FinishedImage = Named(Picture("finished", 80, 80, page), "FinishedImage");
    l->addWidget(FinishedImage, 1, 1, Qt::AlignTop | Qt::AlignHCenter);
    l->setColumnStretch(0, 1);
    l->setRowStretch(1, 1);
    return page;
}

QWidget* TForm1::BuildFargoVerPage()
{
    auto* page = new QWidget;
    auto* l = new QGridLayout(page);
    l->addWidget(Heading("Select Fargoversion", page), 0, 0, 1, 2);
    NewFargo = Named(new QRadioButton("Fargo v2.x", page), "NewFargo");
    NewFargo->setChecked(true);
    OldFargo = Named(new QRadioButton("Fargo v1.x", page), "OldFargo");
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
    newRow->addWidget(NewFargo);
    newRow->addWidget(recommended);
    newRow->addStretch();
    l->addLayout(newRow, 1, 0, 1, 2);
    l->addWidget(newText, 2, 0, 1, 2);
    l->addWidget(OldFargo, 3, 0, 1, 2);
    l->addWidget(oldText, 4, 0, 1, 2);
    WhatIsFargoBtn = Named(new QPushButton("&What is Fargo?", page), "WhatIsFargoBtn");
    l->addWidget(WhatIsFargoBtn, 5, 0);
    l->setRowStretch(6, 1);
    l->setColumnStretch(1, 1);
    return page;
}

QWidget* TForm1::BuildBottomBar()
{
    // The status line has a row of its own, so a long status is not hidden
    // behind the buttons; what still does not fit ends in "…" and shows
    // whole in the tooltip.
    auto* bar = new QWidget(this);
    auto* rows = new QVBoxLayout(bar);
    rows->setContentsMargins(6, 3, 6, 5);
    rows->setSpacing(3);
    auto* status = new QHBoxLayout;
    ReadyLamp = new ReadyLampShape(bar);
    status->addWidget(ReadyLamp);
    status->addWidget(new QLabel("Current status:", bar));
    Statuslbl = Named(new ElidedLabel(kIdleStatus, bar), "Statuslbl");
    status->addWidget(Statuslbl, 1);
    rows->addLayout(status);
    auto* l = new QHBoxLayout;
    l->addStretch(1);
    rows->addLayout(l);
    BitBtn6 = Named(new QPushButton("&Settings", bar), "BitBtn6");
    PreviousBtn = Named(new QPushButton("&Previous", bar), "PreviousBtn");
    NextBtn = Named(new QPushButton("&Next", bar), "NextBtn");
    NextBtn->setIcon(QIcon(SvgPicture("next", 16, 16)));
    NextBtn->setLayoutDirection(Qt::RightToLeft);   // glyph on the right
    CancelBtn = Named(new QPushButton("E&xit!", bar), "CancelBtn");
    PreviousBtn->setEnabled(false);
    NextBtn->setEnabled(false);
    for (QPushButton* b : {BitBtn6, PreviousBtn, NextBtn, CancelBtn}) {
        b->setMinimumWidth(70);
        l->addWidget(b);
    }
    return bar;
}

void TForm1::BuildWidgets()
{
    setObjectName("Form1");
    setWindowTitle("Linkwise");
    setWindowIcon(QIcon(SvgPicture("logo", 64, 42)));

    PageControl1 = Named(new TPageControl(this), "PageControl1");
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
        Pages[i] = pages[i].second;
        Pages[i]->setObjectName(pages[i].first);
        Pages[i]->setToolTip(PageHint(i));
        PageControl1->addWidget(Pages[i]);
    }

    auto* right = new QVBoxLayout;
    right->setSpacing(0);
    right->addWidget(BuildTopStrip());
    right->addWidget(PageControl1, 1);
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

    PopupMenu1 = Named(new QMenu(this), "PopupMenu1");
    TopMenu = PopupMenu1->addAction("Show top-helpline");
    TopMenu->setObjectName("TopMenu");
    TopMenu->setCheckable(true);
    TopMenu->setChecked(true);
    LeftMenu = PopupMenu1->addAction("Show left-information");
    LeftMenu->setObjectName("LeftMenu");
    LeftMenu->setCheckable(true);
    LeftMenu->setChecked(true);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(mapToGlobal(at)); });

    resize(595, 398);
}
