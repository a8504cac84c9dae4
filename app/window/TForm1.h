#pragma once
#include <QPointer>
#include <QWidget>
#include <array>
#include <exception>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/startup/ParamCommands.h"
#include "app/window/ElidedLabel.h"
#include "app/settings/SettingsRecord.h"
#include "app/window/TPageControl.h"
#include "app/window/WizardTables.h"
#include "link/TransferView.h"

class Clock;
class Dialogs;
class EventPump;
class Shell;
class SettingsStore;
class SerialPort;
class Ti92Link;
class TAboutForm;
class TSettingsForm;
class TShowForm;
class ReadyLampShape;
class TScreenImage;
class FileBrowserPanel;

class QAction;
class QCheckBox;
class QComboBox;
class QDialog;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QToolButton;
class QTreeWidget;

// Everything the main window works with, handed in so tests can use doubles.
struct FormEnvironment {
    Clock& clock;
    EventPump& pump;
    Dialogs& dialogs;
    SettingsStore& settings;
    Shell& shell;
    Ti92Link& link;
    SerialPort& serialPort;
    std::string programFolder;   // ends with "/"
    // Shows a window modally and returns its result; tests answer at once.
    std::function<int(QDialog&)> runModal;
    // The temporary store's folder (ends with "/"); empty: the program folder.
    std::string storeFolder = {};
    // The command-line parameters, without the program's name.
    std::vector<std::string> parameters = {};
};


// The main window: a wizard over a list of pages per task.
class TForm1 : public QWidget, public TransferView {
    Q_OBJECT
public:
    explicit TForm1(FormEnvironment env, QWidget* parent = nullptr);
    ~TForm1() override;

    // --- transfer view -------------------------------------------------
    void ShowStatus(const std::string& text) override;
    void TransferMode(bool on) override;
    void ClickNextButton() override;
    void ProcessMessages() override;
    void SetLabel(LabelId label, const std::string& text) override;
    std::string Label(LabelId label) const override;
    void SetBarMax(ProgressBarId bar, int max) override;
    void SetBarPosition(ProgressBarId bar, int position) override;
    int BarMax(ProgressBarId bar) const override;
    int BarPosition(ProgressBarId bar) const override;
    void VarListClear() override;
    void VarListAdd(const std::string& line) override;
    int VarListCount() const override;
    void VarListSelect(int index) override;
    int VarListSelected() const override;
    void ListViewClear(ListViewId list) override;
    void ListViewAdd(ListViewId list, const ListItem& item) override;
    std::vector<ListItem> ListViewItems(ListViewId list) const override;
    void StatusMemoAdd(const std::string& line) override;
    void ErrorDialog(const std::string& text) override;
    // The ready lamp shows the last conversation's outcome: green when the
    // calculator answered a readiness check, or answered during a transfer
    // that ended without a link error; a link error (time-out, damaged
    // reply, a device that is gone) turns it red.
    void NoteLinkFailure(std::exception_ptr error);

    // --- step machine --------------------------------------------------
    // Sender's caption "&Previous" goes back; anything else goes forward.
    void NextBtnClick(QObject* Sender);
    void SelectNextVisPage(bool forward);
    void ResetPages();
    void PrepareTask();
    void TaskButtonClick(QToolButton* button);
    void ReceiveRadioClick();
    int Step() const;                 // PageControl1's tag
    void SetStep(int step);
    int PageShown() const;
    uint8_t StepAt(int index) const;  // 255 beyond the list
    // The first paint's work: command-line task, task overview hint.
    void FormFirstPaint();

    // Transfer mode: while a routine talks to the calculator only Abort acts.
    // TransferMode(true) disables every button of the window (any
    // QAbstractButton, also ones added later), every combo box and the ready
    // lamp; F1 and the double-clicks that move on do nothing. Calls nest: the
    // window comes back only with the last TransferMode(false), each control
    // as it was (Next, Previous and Settings always enabled). A window of its
    // own that talks to the calculator (the remote keyboard) checks
    // InTransfer() before it sends.
    bool InTransfer() const { return fTransferDepth > 0; }

    // Task outcome: the Finished page shows its success picture only when no
    // step of the task failed. A step records its result with
    // RecordStepResult(ok) (false sticks until the next task); an error dialog
    // through the transfer view counts as a failure by itself. PrepareTask
    // starts every task as succeeded.
    void RecordStepResult(bool succeeded);
    bool TaskSucceeded() const { return !fTaskFailed; }
    // The program's exit status: 1 when a task started from the command line
    // failed in any step, else 0. With EXIT a failed task does not end the
    // program: the window stays on the Finished page.
    int ExitStatus() const { return fCommandLineTaskFailed ? 1 : 0; }

    // The desktop's "open"; when it cannot, a message shows the address or
    // path so the user can copy it. True when it was handed over.
    bool OpenAddress(const std::string& url);
    bool OpenFile(const std::string& path);

    // What entering a step does; later parts register their actions here.
    using Action = std::function<void()>;
    void SetStepAction(TaskKind task, int step, Action action);
    void SetBackwardRefresh(int page, Action action);

    // --- other controls ------------------------------------------------
    void ReadyLampMouseUp();
    void CancelBtnClick();
    void SettingsClick();        // BitBtn6
    void ShowFilesClick();
    void AboutClick();
    void QuillboxClick();
    void HelpClick(bool confirmation);   // hlpImage (information) or F1 (confirmation)
    void WhatIsFargoClick();
    void TopMenuClick();
    void LeftMenuClick();
    // Close query: temporary store, settings, link.
    void FormCloseQuery();

    // --- settings ------------------------------------------------------
    void LoadSettings();
    void SaveSettings();
    // Shows the window in the state the settings hold.
    void ShowAtStart();
    void SetAboutBox(TAboutForm* about);
    bool TerminateRequested() const { return fTerminateRequested; }
    // Ends the program once control is back in the message loop.
    void RequestTerminate();
    std::string HelpAddressShown() const;

    SettingsRecord Settings;
    ParamCommandsType ParamCommands;
    TaskKind CurrentTask = taskNone;
    StepList StepPages{};
    bool FirstPaint = true;
    int MainFormState = 0;
    ViewerPlacement TextForm;
    ViewerPlacement PictureForm;

    // Hooks of later parts.
    std::function<void()> HideViewers;       // before every move
    std::function<void()> OnRemoteControl;   // "&Remote control"
    std::function<void()> OnFirstPaintCheck; // file-type check at the first paint

    // --- widgets ---------------------------------------------------------
    QFrame* Panel1;
    QLabel* ProgramImage;
    QPushButton* AboutBtn;
    QPushButton* RemoteBtn;
    QPushButton* QuillboxBtn;
    QLabel* TaskCaption;
    QLabel* StepsLabel;
    QListWidget* TaskListbox;

    QFrame* Panel16;
    QToolButton* hlpImage;
    QLabel* hlpLine;

    TPageControl* PageControl1;
    std::array<QWidget*, kPageCount> Pages{};

    // Menu
    QToolButton* SpeedButton3;   // Get!
    QToolButton* SpeedButton4;   // Send!
    QToolButton* SpeedButton1;   // Screenshot!
    QToolButton* SpeedButton5;   // Fargo!
    QCheckBox* AutoNext;
    // ScreenShot / Screenshotedit
    TScreenImage* ScrShot;
    QPushButton* GrabBtn;
    TScreenImage* ScrShot2;
    QPushButton* CopyImageBtn;
    QPushButton* SaveImageBtn;
    // Receive
    QRadioButton* BackupRadio;
    QRadioButton* VarRadio;
    QTreeWidget* ListView1;
    QPushButton* BitBtn1;
    // FileSelect
    QTreeWidget* FileList;
    QFrame* FileInfoPanel;
    QLabel* Label23;
    QLabel* Label26;
    QFrame* Bevel1;
    QLabel* Label24;
    QPlainTextEdit* Memo1;
    QFrame* Bevel2;
    QLabel* Label25;
    QTreeWidget* IncVarList;
    QPushButton* ViewBtn;
    QFrame* Bevel3;
    QLabel* Label27;
    QLineEdit* Edit1;
    QLabel* TotSize;
    QToolButton* TxtBtn;
    QToolButton* ScrBtn;
    QComboBox* ComboBox1;
    QPushButton* ShowFilesBtn;
    QPushButton* UpdateBtn;
    QPushButton* BrowseBtn;
    // ReceiveProgress
    QLabel* trLabel;
    QProgressBar* varBar;
    QProgressBar* totBar;
    QLabel* Label18;
    QListWidget* varList;
    // Receivelocal
    QTreeWidget* ListView2;
    QProgressBar* SaveBar;
    QLabel* SaveStatus;
    QPushButton* SaveToFileBtn;
    QPushButton* ViewVarBtn;
    // SaveBackup
    QProgressBar* SaveBackupBar;
    QLabel* Label33;
    // ConvertTxt
    QLabel* Label21;
    QLineEdit* ConvertFile;
    QLineEdit* ConvertTo;
    QProgressBar* ConvertBar;
    QLabel* ConvertStat;
    // Finished
    QPlainTextEdit* StatusMemo;
    QLabel* FinishedImage;   // success or failure of the task
    // FargoVer
    QRadioButton* NewFargo;
    QRadioButton* OldFargo;
    QPushButton* WhatIsFargoBtn;
    // Bottom bar
    ReadyLampShape* ReadyLamp;
    ElidedLabel* Statuslbl;   // a QLabel that elides, full text in its tooltip
    QPushButton* BitBtn6;
    QPushButton* PreviousBtn;
    QPushButton* NextBtn;
    QPushButton* CancelBtn;
    // Pop-up menu
    QMenu* PopupMenu1;
    QAction* TopMenu;
    QAction* LeftMenu;

    TShowForm* ShowForm;
    TSettingsForm* SettingsForm;
    FileBrowserPanel* Browser = nullptr;   // the file page and the viewers

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* e) override;

private:
    void LoadChoices();
    QRect LoadMainFormPlace();
    void LoadViewerPlaces(const QRect& mainForm);
    void LoadFolderHistory();
    void BuildWidgets();
    QWidget* BuildMenuPage();
    QWidget* BuildScreenShotPage();
    QWidget* BuildScreenshotEditPage();
    QWidget* BuildReceivePage();
    QWidget* BuildFileSelectPage();
    void BuildFileInfoPanel(QWidget* page);
    QWidget* BuildReceiveProgressPage();
    QWidget* BuildReceiveLocalPage();
    QWidget* BuildSaveBackupPage();
    QWidget* BuildConvertTxtPage();
    QWidget* BuildFinishedPage();
    QWidget* BuildFargoVerPage();
    QWidget* BuildLeftPanel();
    QWidget* BuildTopStrip();
    QWidget* BuildBottomBar();
    void ConnectHandlers();

    void ConfigureLink();
    void CloseLink();
    void ShowStepHelp();
    void LockForTransfer();
    void UnlockAfterTransfer();
    void ShowTaskOutcome();
    void ReturnToMenu();
    void FillTaskOverview();
    void ResetTransferPage();
    void KeepFailedCommandLineTaskOpen();
    void RunStepAction(TaskKind task, int step);
    void RunBackwardRefresh(int page);
    void InstallStepActions();
    QProgressBar* Bar(ProgressBarId bar) const;
    QLabel* LabelWidget(LabelId label) const;
    QTreeWidget* ListView(ListViewId list) const;

    FormEnvironment fEnv;
    std::map<std::pair<int, int>, Action> fStepActions;
    std::map<int, Action> fBackwardRefresh;
    TAboutForm* fAbout = nullptr;
    bool fBusyCursor = false;
    int fTransferDepth = 0;
    std::vector<QPointer<QWidget>> fLockedControls;
    bool fTaskFailed = false;
    bool fCommandLineTaskFailed = false;
    bool fLinkFailedInTransfer = false;
    bool fLinkClosed = false;
    bool fTerminateRequested = false;
    bool fFirstShowDone = false;
    std::string fLastHelpAddress;
};
