#include "app/desktop/FileTypeCheck.h"

#include "app/desktop/Shell.h"
#include "link/Dialogs.h"

void CheckFileTypes(Shell& shell, Dialogs& dialogs)
{
    try {
        if (shell.FileTypesRegistered())
            return;
        if (dialogs.MessageBox("Linkwise is not associated with correct file-types!\rDo you want to "
                               "correct this?",
                               "Linkwise", MsgIcon::Question, MsgButtons::YesNo) == MsgResult::Yes)
            shell.RegisterFileTypes();
    } catch (...) {
        // A desktop that cannot be asked or written to is no reason to stop.
    }
}
