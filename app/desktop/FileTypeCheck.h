#pragma once

class Dialogs;
class Shell;

// The check at the first paint: when Linkwise does not open TI-92 program
// files, offer to register it. Any error leaves the start alone.
void CheckFileTypes(Shell& shell, Dialogs& dialogs);
