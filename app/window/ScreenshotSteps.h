#pragma once
#include <string>

#include "link/Dialogs.h"

class WizardWindow;
class Ti92Link;

// The screenshot task on the wizard: "&Grab!" draws the calculator's screen
// into screenshotImage, entering the save page copies it into imageToSave, "&Copy
// image" puts that on the clipboard and "&Save image" writes it to a file.
void InstallScreenshotSteps(WizardWindow& form, Ti92Link& link, Dialogs& dialogs);

void onGrabClicked(WizardWindow& form, Ti92Link& link);
void onCopyImageClicked(WizardWindow& form);
// The dialog opens in `lastFolder`, which then becomes the chosen file's folder.
void onSaveImageClicked(WizardWindow& form, Dialogs& dialogs, std::string& lastFolder);

// "Save screenshot as..": bitmaps first, PNG as well; the format of the
// file written follows the extension of the name chosen.
FileDialogRequest ScreenshotSaveDialog();
