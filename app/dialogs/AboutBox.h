#pragma once
#include <QDialog>
#include <functional>
#include <random>
#include <string>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class QFrame;
class Shell;

// The about box, which doubles as the start-up splash with a tip of the day.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    AboutBox(Shell& shell, std::string hintsFile, QWidget* parent = nullptr);

    // Loads one tip of the hints file into tipText.
    void PickTip();
    // The user clicked the box: it stays open until closed.
    void KeepOpen();
    void onCloseTimer();
    // The tip number drawn for a file of n tips (0..n-1); replaceable in tests.
    std::function<int(int)> drawTip;
    // "&Get there!"; the main window replaces it with its own, which opens
    // the help pages and says when the desktop cannot.
    std::function<void(const std::string&)> openAddress;

    QLabel* programNameLabel;
    QLabel* versionLabel;
    QLabel* infoLine;
    QPushButton* getThereButton;
    QLabel* logoLabel;
    QFrame* tipPanel;
    QLabel* tipPicture;
    QPlainTextEdit* tipText;
    QPushButton* nextTipButton;
    QLabel* closeLabel;
    QPushButton* closeButton;
    QTimer* closeTimer;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;
    void showEvent(QShowEvent* e) override;

private:
    static constexpr int kDesignedWidth = 327;
    static constexpr int kDesignedHeight = 201;
    static constexpr int kTipTextWidth = 240;  // before the first layout
    static constexpr int kInfoLineWidth = 215;
    void FitTip();
    Shell& fShell;
    std::string fHintsFile;
    std::mt19937 fRandom;
};
