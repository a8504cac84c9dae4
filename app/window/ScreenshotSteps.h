#pragma once
#include <string>

#include "link/Dialogs.h"

class TForm1;
class Ti92Link;

// The screenshot task on the wizard: "&Grab!" draws the calculator's screen
// into ScrShot, entering the save page copies it into ScrShot2, "&Copy
// image" puts that on the clipboard and "&Save image" writes it to a file.
void InstallScreenshotSteps(TForm1& form, Ti92Link& link, Dialogs& dialogs);

void Button1Click(TForm1& form, Ti92Link& link);
void CopyImgBtnClick(TForm1& form);
// The dialog opens in `lastFolder`, which then becomes the chosen file's folder.
void SaveImgBtnClick(TForm1& form, Dialogs& dialogs, std::string& lastFolder);

// "Save screenshot as..": bitmaps first, PNG as well; the format of the
// file written follows the extension of the name chosen.
FileDialogRequest ScreenshotSaveDialog();
