#pragma once

class Dialogs;
class WizardWindow;
class Ti92Link;
class TempStore;

// The temporary store of the window, deleted when it closes.
TempStore FormStore(const WizardWindow& form);

// The receive-variables task on the wizard: entering (or coming back with
// Previous to) the selection page lists the calculator, "&Update" lists it
// again, entering the transfer page receives the selected rows into the
// temporary store and "&Save to file" saves them.
void InstallReceiveSteps(WizardWindow& form, Ti92Link& link, Dialogs& dialogs);
