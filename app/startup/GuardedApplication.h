#pragma once
#include <QApplication>
#include <exception>
#include <string>

class Dialogs;

// The window program's application object. An exception that escapes an
// event handler (a button, a timer, a paint) ends up here instead of ending
// the program: it is shown in an error box naming its class and message, and
// the event loop goes on. Without dialogs set the text goes to standard error.
class GuardedApplication : public QApplication {
public:
    GuardedApplication(int& argc, char** argv);
    void SetDialogs(Dialogs* dialogs) { fDialogs = dialogs; }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    void ShowEscapedError(const std::string& text);
    Dialogs* fDialogs = nullptr;
};

// The error box's text: "<class>: <message>".
std::string EscapedErrorText(const std::exception& e);
