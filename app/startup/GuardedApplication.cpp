#include "app/startup/GuardedApplication.h"

#include <iostream>

#include "link/Dialogs.h"
#include "link/Exceptions.h"

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

std::string EscapedErrorText(const std::exception& e)
{
    return ErrorClassName(e) + ": " + e.what();
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ShowEscapedError(EscapedErrorText(e));
    } catch (...) {
        ShowEscapedError("Unknown error: the action was stopped.");
    }
    return true;
}

void GuardedApplication::ShowEscapedError(const std::string& text)
{
    if (!fDialogs) {
        std::cerr << "linkwise: " << text << '\n';
        return;
    }
    // A box that cannot be shown must not take the program down either.
    try {
        fDialogs->MessageBox(text, "Linkwise", MsgIcon::Error, MsgButtons::Ok);
    } catch (...) {
        std::cerr << "linkwise: " << text << '\n';
    }
}
