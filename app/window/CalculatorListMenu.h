#pragma once

class Dialogs;
class QMenu;
class QWidget;
class Ti92Link;
class WizardWindow;

// The context menu of the calculator's list on the receive page: Delete…,
// Rename…, Move to folder…, New folder…, Lock and Unlock. Each asks first,
// naming what will change, then types the command on the calculator's home
// screen (transfers/CalculatorChange.h), says in the report what was typed,
// shows what went wrong in a box, and lists the calculator again.
void InstallCalculatorListMenu(WizardWindow& form, Ti92Link& link, Dialogs& dialogs);

// The menu for the rows selected now, its actions wired; the caller owns it.
QMenu* CalculatorListMenu(WizardWindow& form, Ti92Link& link, Dialogs& dialogs, QWidget* parent);
