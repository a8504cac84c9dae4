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

#include "app/settings/SettingsRecord.h"
#include "app/startup/ParamCommands.h"
#include "app/window/ElidedLabel.h"
#include "app/window/WizardPages.h"
#include "app/window/WizardTables.h"
#include "link/TransferView.h"

class Clock;
class Dialogs;
class DoctorSystem;
class EventPump;
class Shell;
class SettingsStore;
class SerialPort;
class Ti92Link;
class AboutBox;
class SettingsDialog;
class FileFilterDialog;
class ReadyLampShape;
class ScreenImage;
class FileBrowserPanel;

class QAction;
class QCheckBox;
class QComboBox;
class QDialog;
class QFrame;
class QScrollArea;
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

// The text editor of the TI-92 world behind the "Quillbox" button, looked up
// on PATH; the button is shown only when it is there.
constexpr const char* kQuillboxProgram = "quillbox";

// Everything the main window works with, handed in so tests can use doubles.
struct WizardEnvironment {
    Clock& clock;
    EventPump& pump;
    Dialogs& dialogs;
    SettingsStore& settings;
    Shell& shell;
    Ti92Link& link;
    SerialPort& serialPort;
    // The user's data folder for Linkwise (ends with "/"): Fargo backups
    // taken over, the calculator's saved content, the default Fargo library
    // folders fargo1/ and fargo2/.
    std::string dataFolder;
    // Shows a window modally and returns its result; tests answer at once.
    std::function<int(QDialog&)> runModal;
    // The temporary store's folder (ends with "/"); empty: the data folder.
    std::string storeFolder = {};
    // The command-line parameters, without the program's name.
    std::vector<std::string> parameters = {};
    // The machine "Find calculator" searches; none: the settings do not offer it.
    DoctorSystem* doctorSystem = nullptr;
    // The folder of the HTML help pages (ends with "/").
    std::string helpFolder = {};
};

// The main window: a wizard over a list of pages per task.
class WizardWindow : public QWidget, public TransferView {
    Q_OBJECT
public:
    explicit WizardWindow(WizardEnvironment env, QWidget* parent = nullptr);
    ~WizardWindow() override;

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
    void onNextClicked(QObject* Sender);
    void SelectNextVisPage(bool forward);
    void ResetPages();
    void PrepareTask();
    void onTaskButtonClicked(QToolButton* button);
    void onReceiveChoiceClicked();
    int Step() const;  // pageStack's currentStep
    void SetStep(int step);
    int PageShown() const;
    uint8_t StepAt(int index) const;  // 255 beyond the list
    // The first paint's work: command-line task, task overview hint.
    void onFirstPaint();
    // The send task with the files given (command line, a drop), run at once
    // from its send step; with exitAfter the Finished page is left out.
    void StartGivenFilesSend(bool exitAfter);

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
    // Opens a page of the help folder at an anchor ("step-2"; empty: the
    // top); a page that is missing or that the desktop cannot open is shown
    // in a box naming the file.
    bool OpenHelpPage(const std::string& page, const std::string& anchor);
    bool OpenFile(const std::string& path);

    // What entering a step does; later parts register their actions here.
    using Action = std::function<void()>;
    void SetStepAction(TaskKind task, int step, Action action);
    void SetBackwardRefresh(int page, Action action);

    // --- other controls ------------------------------------------------
    void onReadyLampClicked();
    void onCancelClicked();
    void onSettingsClicked();  // settingsButton
    // findCalculatorButton, offered on the status line while the lamp is red:
    // the settings with the calculator search running.
    void onFindCalculatorClicked();
    void onShowFilesClicked();
    void onAboutClicked();
    void onQuillboxClicked();
    void onHelpClicked(bool confirmation);  // helpButton (information) or F1 (confirmation)
    void onWhatIsFargoClicked();
    void onHelpLineToggled();
    void onLeftPanelToggled();
    // Close query: temporary store, settings, link.
    void onCloseRequested();

    // --- settings ------------------------------------------------------
    void LoadSettings();
    void SaveSettings();
    // Shows the window in the state the settings hold.
    void ShowAtStart();
    void SetAboutBox(AboutBox* about);
    bool TerminateRequested() const { return fTerminateRequested; }
    // Ends the program once control is back in the message loop.
    void RequestTerminate();
    std::string HelpAddressShown() const;

    SettingsRecord settings;
    ParamCommandsType paramCommands;
    TaskKind currentTask = taskNone;
    StepList stepPages{};
    bool firstPaintPending = true;
    int storedWindowState = 0;
    ViewerPlacement textViewerPlace;
    ViewerPlacement pictureViewerPlace;

    // Hooks of later parts.
    std::function<void()> hideViewers;      // before every move
    std::function<void()> onRemoteControl;  // "&Remote control"
    // Asked before Finish leaves a task and before the window closes
    // (`closing`); false keeps the window where it is (unsaved received
    // variables, or a save that already moved the wizard on).
    std::function<bool(bool closing)> confirmLeaveReceived;

    // --- widgets ---------------------------------------------------------
    QFrame* leftPanel;
    QLabel* programLogo;
    QPushButton* aboutButton;
    QPushButton* remoteButton;
    QPushButton* quillboxButton;
    QLabel* taskCaption;
    QLabel* stepsLabel;
    QListWidget* stepList;

    QFrame* helpStrip;
    QToolButton* helpButton;
    QLabel* helpLine;

    WizardPages* pageStack;
    std::array<QWidget*, kPageCount> pageWidgets{};

    // Menu
    QToolButton* getButton;         // Get!
    QToolButton* sendButton;        // Send!
    QToolButton* screenshotButton;  // Screenshot!
    QToolButton* fargoButton;       // Fargo!
    QCheckBox* autoNextBox;
    // ScreenShot / Screenshotedit
    ScreenImage* screenshotImage;
    QPushButton* grabButton;
    ScreenImage* imageToSave;
    QPushButton* copyImageButton;
    QPushButton* saveImageButton;
    // Receive
    QRadioButton* backupRadio;
    QRadioButton* variablesRadio;
    // The comment of the backup file, asked here as the save page asks nothing.
    QLineEdit* backupCommentEdit;
    QTreeWidget* calculatorList;
    QPushButton* updateListButton;
    // FileSelect
    QTreeWidget* fileList;
    QFrame* fileInfoPanel;
    QScrollArea* fileInfoScroll;  // holds the panel, which scrolls on a short screen
    QLabel* fileTitleLabel;
    QLabel* fileKindLabel;
    QFrame* commentGroup;
    QLabel* commentCaption;
    QPlainTextEdit* commentMemo;
    QFrame* variablesGroup;
    QLabel* variablesCaption;
    QTreeWidget* includedVariableList;
    QPushButton* viewVariableButton;
    QPushButton* extractButton;
    QPushButton* renameVariableButton;
    QPushButton* removeFromGroupButton;
    QFrame* librariesGroup;
    QLabel* librariesCaption;
    QLineEdit* librariesEdit;
    QLabel* selectionSizeLabel;
    QToolButton* textViewerButton;
    QToolButton* pictureViewerButton;
    QComboBox* folderBox;
    QPushButton* showFilesButton;
    QPushButton* updateFilesButton;
    QPushButton* groupFilesButton;
    QPushButton* browseButton;
    // ReceiveProgress
    QLabel* transferLabel;
    QProgressBar* variableProgress;
    QProgressBar* totalProgress;
    QLabel* variablesLabel;
    QListWidget* variableList;
    // Receivelocal
    QTreeWidget* receivedList;
    QProgressBar* saveProgress;
    QLabel* saveStatusLabel;
    QPushButton* saveToFileButton;
    QPushButton* viewReceivedButton;
    // The comment of the file "Save to file" writes.
    QLineEdit* saveCommentEdit;
    // SaveBackup
    QProgressBar* backupSaveProgress;
    QLabel* backupSaveStatusLabel;
    // ConvertTxt
    QLabel* convertHeading;
    QLineEdit* convertFromEdit;
    QLineEdit* convertToEdit;
    // The comment of the converted file; the conversion waits for convertButton.
    QLineEdit* convertCommentEdit;
    QPushButton* convertButton;
    QProgressBar* convertProgress;
    QLabel* convertStatusLabel;
    // Finished
    QPlainTextEdit* reportMemo;
    QLabel* outcomeImage;  // success or failure of the task
    // FargoVer
    QRadioButton* newFargoRadio;
    QRadioButton* oldFargoRadio;
    QPushButton* whatIsFargoButton;
    // Bottom bar
    ReadyLampShape* readyLamp;
    ElidedLabel* statusLabel;  // a QLabel that elides, full text in its tooltip
    QPushButton* settingsButton;
    QPushButton* findCalculatorButton;
    QPushButton* previousButton;
    QPushButton* nextButton;
    QPushButton* cancelButton;
    // Pop-up menu
    QMenu* contextMenu;
    QAction* helpLineAction;
    QAction* leftPanelAction;

    FileFilterDialog* fileFilterDialog;
    SettingsDialog* settingsDialog;
    FileBrowserPanel* fileBrowser = nullptr;  // the file page and the viewers

    // The file information's scroll area as wide as its panel, plus the
    // scroll bar while the panel scrolls.
    void FitFileInfoWidth();

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* e) override;

private:
    void LoadChoices();
    QRect LoadMainFormPlace();
    int NaturalHeight() const;
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

    WizardEnvironment fEnv;
    std::map<std::pair<int, int>, Action> fStepActions;
    std::map<int, Action> fBackwardRefresh;
    AboutBox* fAbout = nullptr;
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
