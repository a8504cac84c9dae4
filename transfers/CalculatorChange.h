#pragma once
#include <string>
#include <vector>

#include "transfers/DirectoryListing.h"

class Ti92Link;
class TransferView;

// A change to the calculator's variables or folders. The TI-92 has no link
// packets for these, so they are typed on its home screen through the
// remote-keyboard packets and believed only when a listing shows them.
enum class ChangeKind { Delete, Rename, Copy, Move, NewFolder, DeleteFolder, Lock, Unlock };

struct CalculatorChange {
    ChangeKind kind = ChangeKind::Delete;
    // folder\name of the variable, or the folder's name.
    std::string name;
    // Rename and Copy: the new folder\name; Move: the folder to move into.
    std::string target;
};

enum class ChangeOutcome {
    Done,         // the listing shows the change
    Refused,      // the checks refused it; no key was sent
    NotAccepted,  // typed, but the listing does not show it
    LinkError,    // the link failed (the error dialog has said why)
    Aborted       // the user stopped it
};

struct ChangeResult {
    ChangeOutcome outcome = ChangeOutcome::LinkError;
    // What was done, or what went wrong and for which variable or folder.
    std::string message;
    // The command typed on the calculator; empty when no key was sent.
    std::string typed;
};

// The command line typed for a change, e.g. "Rename main\x,main\y".
std::string CommandText(const CalculatorChange& change);
// Why the calculator as `entries` lists it cannot take the change (a name
// it does not hold, a target that exists, a name its rules do not allow, a
// locked variable, a folder that is not empty, the folder main), or empty.
std::string RefusalOf(const std::vector<DirectoryEntry>& entries, const CalculatorChange& change);

// The whole conversation: a ready check and a listing; the checks; the keys
// that leave any screen or error box and empty the home screen's entry
// line; the command and ENTER; a new listing. Done only when that listing
// shows the change; otherwise the error box is closed, the line emptied,
// and the result names the likely cause. An abort stops the typing and
// empties the line. Never throws.
ChangeResult ApplyChange(Ti92Link& link, TransferView& view, const CalculatorChange& change);
