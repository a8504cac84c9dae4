#pragma once

class Dialogs;
class WizardWindow;
class Ti92Link;

// The memory-backup task on the wizard: entering the transfer page receives
// the backup into the temporary store, entering the "Save backup" page asks
// for a file name and a comment and saves it as a backup file.
void InstallBackupSteps(WizardWindow& form, Ti92Link& link, Dialogs& dialogs);
