#pragma once
#include <QWidget>
#include <functional>
#include <map>

#include "transfers/RemoteKeyboard.h"

class QLabel;
class QPlainTextEdit;
class SettingsStore;
class Ti92Link;

// "Remote control": a small window, always on top, that sends every key
// typed into it to the calculator. Ctrl+Z hides it. It remembers where it
// was and comes back there when that place is on the screen.
class RemoteKeyboardWindow : public QWidget {
    Q_OBJECT
public:
    RemoteKeyboardWindow(Ti92Link& link, SettingsStore& settings, QWidget* parent = nullptr);
    ~RemoteKeyboardWindow() override;

    // Shows the window without blocking the main window.
    void ShowRemote();

    // True while the main window runs a transfer: keys are then not sent.
    std::function<bool()> linkBusy;

    RemoteKeyboard keyboard;
    QLabel* title;
    QPlainTextEdit* keyLog;
    QLabel* statusLabel;

    static constexpr int kClientWidth = 163;
    static constexpr int kClientHeight = 146;

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    void onKeyDown(class QKeyEvent& e);
    void onKeyUp(class QKeyEvent& e);
    void Place();
    void StorePlace();

    SettingsStore& fSettings;
    std::map<int, Qt::KeyboardModifiers> fModifiersAtPress;  // by Qt key
};
