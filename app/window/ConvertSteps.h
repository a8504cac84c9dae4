#pragma once

class Dialogs;
class WizardWindow;

// The convert task on the wizard: entering the convert page converts the
// text file in convertFromEdit into the TI-92 text file in convertToEdit, asking for
// the target first when convertToEdit is empty.
void InstallConvertSteps(WizardWindow& form, Dialogs& dialogs);
