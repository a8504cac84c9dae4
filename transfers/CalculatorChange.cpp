#include "transfers/CalculatorChange.h"

#include <algorithm>
#include <cstdint>
#include <exception>

#include "files/TextConversion.h"
#include "link/CalculatorKeys.h"
#include "link/Exceptions.h"
#include "link/PacketCheck.h"
#include "link/PacketCommands.h"
#include "link/Ti92Link.h"
#include "link/TransferView.h"

namespace {

// Keys that leave any screen, menu or error box for the home screen and
// empty its entry line: ON, ESC three times, QUIT twice, HOME, CLEAR twice.
const std::vector<uint16_t> kToEmptyHomeLine = {CalcKey::On,   CalcKey::Esc,   CalcKey::Esc,
                                                CalcKey::Esc,  CalcKey::Quit,  CalcKey::Quit,
                                                CalcKey::Home, CalcKey::Clear, CalcKey::Clear};
constexpr uint32_t kKeyPacingMs = 20;
constexpr uint32_t kQuietBeforeKeysMs = 30;

const DirectoryEntry* Find(const std::vector<DirectoryEntry>& entries, const std::string& fullName, bool folder)
{
    for (const DirectoryEntry& e : entries)
        if (e.IsFolder() == folder && e.FullName() == fullName)
            return &e;
    return nullptr;
}

const DirectoryEntry* Variable(const std::vector<DirectoryEntry>& entries, const std::string& fullName)
{
    return Find(entries, fullName, false);
}

const DirectoryEntry* Folder(const std::vector<DirectoryEntry>& entries, const std::string& name)
{
    return Find(entries, name, true);
}

std::string FolderOf(const std::string& fullName)
{
    const size_t slash = fullName.find('\\');
    return slash == std::string::npos ? std::string() : fullName.substr(0, slash);
}

std::string BareName(const std::string& fullName)
{
    const size_t slash = fullName.find('\\');
    return slash == std::string::npos ? fullName : fullName.substr(slash + 1);
}

bool FolderEmpty(const std::vector<DirectoryEntry>& entries, const std::string& folder)
{
    return std::none_of(entries.begin(), entries.end(),
                        [&](const DirectoryEntry& e) { return !e.IsFolder() && e.folder == folder; });
}

std::string InvalidName(const std::string& name)
{
    return "\"" + name + "\" is not a valid TI-92 name: 1 to 8 letters, digits or _, starting with a letter";
}

// A folder\name whose both parts the calculator's rules allow; empty when so.
std::string CheckFullName(const std::string& fullName)
{
    const size_t slash = fullName.find('\\');
    if (slash == std::string::npos || !IsValidVariableName(fullName.substr(0, slash)) ||
        !IsValidVariableName(fullName.substr(slash + 1)))
        return InvalidName(fullName);
    return {};
}

// The target of a rename or copy: a valid name, free, in a folder that exists.
std::string CheckTarget(const std::vector<DirectoryEntry>& entries, const std::string& target)
{
    if (std::string bad = CheckFullName(target); !bad.empty())
        return bad;
    if (Variable(entries, target))
        return target + " exists already";
    if (!Folder(entries, FolderOf(target)))
        return "the folder " + FolderOf(target) + " does not exist";
    return {};
}

std::string Verb(ChangeKind kind)
{
    switch (kind) {
    case ChangeKind::Delete:
        return "delete";
    case ChangeKind::Rename:
        return "rename";
    case ChangeKind::Copy:
        return "copy";
    case ChangeKind::Move:
        return "move";
    case ChangeKind::NewFolder:
        return "make the folder";
    case ChangeKind::DeleteFolder:
        return "delete the folder";
    case ChangeKind::Lock:
        return "lock";
    case ChangeKind::Unlock:
        return "unlock";
    }
    return {};
}

// "rename main\x to main\y", "delete the folder work".
std::string Describe(const CalculatorChange& c)
{
    switch (c.kind) {
    case ChangeKind::Rename:
    case ChangeKind::Copy:
        return Verb(c.kind) + " " + c.name + " to " + c.target;
    case ChangeKind::Move:
        return Verb(c.kind) + " " + c.name + " into the folder " + c.target;
    default:
        return Verb(c.kind) + " " + c.name;
    }
}

std::string PastTense(const CalculatorChange& c)
{
    switch (c.kind) {
    case ChangeKind::Delete:
        return c.name + " deleted";
    case ChangeKind::Rename:
        return c.name + " renamed to " + c.target;
    case ChangeKind::Copy:
        return c.name + " copied to " + c.target;
    case ChangeKind::Move:
        return c.name + " moved into the folder " + c.target;
    case ChangeKind::NewFolder:
        return "folder " + c.name + " made";
    case ChangeKind::DeleteFolder:
        return "folder " + c.name + " deleted";
    case ChangeKind::Lock:
        return c.name + " locked";
    case ChangeKind::Unlock:
        return c.name + " unlocked";
    }
    return {};
}

// Whether the listing shows the change made.
bool Shown(const std::vector<DirectoryEntry>& entries, const CalculatorChange& c)
{
    const DirectoryEntry* v = Variable(entries, c.name);
    switch (c.kind) {
    case ChangeKind::Delete:
        return !v;
    case ChangeKind::Rename:
        return !v && Variable(entries, c.target);
    case ChangeKind::Copy:
        return v && Variable(entries, c.target);
    case ChangeKind::Move:
        return !v && Variable(entries, c.target + "\\" + BareName(c.name));
    case ChangeKind::NewFolder:
        return Folder(entries, c.name) != nullptr;
    case ChangeKind::DeleteFolder:
        return !Folder(entries, c.name);
    case ChangeKind::Lock:
        return v && v->locked;
    case ChangeKind::Unlock:
        return v && !v->locked;
    }
    return false;
}

// Why the calculator most likely refused, from the listing after the command.
std::string LikelyCause(const std::vector<DirectoryEntry>& entries, const CalculatorChange& c)
{
    const DirectoryEntry* v = Variable(entries, c.name);
    const bool locking = c.kind == ChangeKind::Delete || c.kind == ChangeKind::Rename || c.kind == ChangeKind::Move;
    if (locking && v && v->locked)
        return c.name + " is locked";
    if (c.kind == ChangeKind::DeleteFolder && Folder(entries, c.name) && !FolderEmpty(entries, c.name))
        return "the folder " + c.name + " is not empty";
    return "the calculator did not accept the command";
}

// Sends one key and waits for its acknowledgement, after the pause the
// calculator needs between keys (events run meanwhile, so Abort is heard).
void PressKey(Ti92Link& link, uint16_t code)
{
    const uint32_t start = link.clock().GetTickCount();
    do {
        link.pump().ProcessMessages();
        link.clock().Sleep(1);
    } while (link.clock().GetTickCount() - start <= kKeyPacingMs);
    if (link.Aborted)
        throw EUserError("Operation aborted.");
    link.SendByte(kIdFromComputer);
    link.SendByte(Cmd::KEY);
    link.SendWord(code);
    if (!link.GetAck())
        ThrowAckProblem(link, "The key " + std::to_string(code));
}

void PressKeys(Ti92Link& link, const std::vector<uint16_t>& codes)
{
    link.PrepareLine(kQuietBeforeKeysMs);
    for (uint16_t code : codes)
        PressKey(link, code);
}

// After an abort: CLEAR, heard even though the abort flag was set.
void ClearAfterAbort(Ti92Link& link)
{
    const uint8_t aborted = link.Aborted;
    link.Aborted = 0;
    try {
        PressKeys(link, {CalcKey::Clear});
    } catch (const std::exception&) {
        // The abort is what is reported; the line stays as the abort left it.
    }
    link.Aborted = aborted ? aborted : 1;
}

ChangeResult Result(ChangeOutcome outcome, std::string message, std::string typed = {})
{
    return {outcome, std::move(message), std::move(typed)};
}

ChangeResult ListingFailed(Ti92Link& link, const CalculatorChange& c, const std::string& typed)
{
    if (link.Aborted)
        return Result(ChangeOutcome::Aborted, "aborted: could not " + Describe(c), typed);
    return Result(ChangeOutcome::LinkError, "could not " + Describe(c) + ": the calculator could not be listed", typed);
}

}  // namespace

std::string CommandText(const CalculatorChange& c)
{
    // Names and argument order from the TI-92's command list: DelVar var;
    // Rename oldName,newName; CopyVar from,to; MoveVar var,oldFolder,newFolder;
    // NewFold folder; DelFold folder; Lock var; Unlock var.
    switch (c.kind) {
    case ChangeKind::Delete:
        return "DelVar " + c.name;
    case ChangeKind::Rename:
        return "Rename " + c.name + "," + c.target;
    case ChangeKind::Copy:
        return "CopyVar " + c.name + "," + c.target;
    case ChangeKind::Move:
        return "MoveVar " + BareName(c.name) + "," + FolderOf(c.name) + "," + c.target;
    case ChangeKind::NewFolder:
        return "NewFold " + c.name;
    case ChangeKind::DeleteFolder:
        return "DelFold " + c.name;
    case ChangeKind::Lock:
        return "Lock " + c.name;
    case ChangeKind::Unlock:
        return "Unlock " + c.name;
    }
    return {};
}

std::string RefusalOf(const std::vector<DirectoryEntry>& entries, const CalculatorChange& c)
{
    if (c.kind == ChangeKind::NewFolder || c.kind == ChangeKind::DeleteFolder) {
        if (!IsValidVariableName(c.name))
            return InvalidName(c.name);
        const bool exists = Folder(entries, c.name) != nullptr;
        if (c.kind == ChangeKind::NewFolder)
            return exists ? "the folder " + c.name + " exists already" : "";
        if (c.name == "main")
            return "the folder main cannot be deleted";
        if (!exists)
            return "the folder " + c.name + " is not on the calculator";
        return FolderEmpty(entries, c.name) ? "" : "the folder " + c.name + " is not empty";
    }
    if (std::string bad = CheckFullName(c.name); !bad.empty())
        return bad;
    const DirectoryEntry* v = Variable(entries, c.name);
    if (!v)
        return c.name + " is not on the calculator";
    const bool locking = c.kind == ChangeKind::Delete || c.kind == ChangeKind::Rename || c.kind == ChangeKind::Move;
    if (locking && v->locked)
        return c.name + " is locked";
    switch (c.kind) {
    case ChangeKind::Rename:
    case ChangeKind::Copy:
        return CheckTarget(entries, c.target);
    case ChangeKind::Move:
        if (!IsValidVariableName(c.target))
            return InvalidName(c.target);
        if (c.target == v->folder)
            return c.name + " is in the folder " + c.target + " already";
        return CheckTarget(entries, c.target + "\\" + v->name);
    case ChangeKind::Lock:
        return v->locked ? c.name + " is locked already" : "";
    case ChangeKind::Unlock:
        return v->locked ? "" : c.name + " is not locked";
    default:
        return {};
    }
}

ChangeResult ApplyChange(Ti92Link& link, TransferView& view, const CalculatorChange& change)
{
    const TransferScope transfer(view);
    const auto before = ReadDirectoryEntries(link, view);
    if (!before)
        return ListingFailed(link, change, {});
    if (std::string refusal = RefusalOf(*before, change); !refusal.empty())
        return Result(ChangeOutcome::Refused, "could not " + Describe(change) + ": " + refusal);

    const std::string typed = CommandText(change);
    bool typing = false;
    try {
        view.ShowStatus("Typing: " + typed);
        PressKeys(link, kToEmptyHomeLine);
        typing = true;
        std::vector<uint16_t> keys(typed.begin(), typed.end());
        keys.push_back(CalcKey::Enter);
        PressKeys(link, keys);
    } catch (const EUserError&) {
        // Keys typed before the abort must not stay on the line.
        if (typing)
            ClearAfterAbort(link);
        view.ShowStatus("(none)");
        return Result(ChangeOutcome::Aborted, "aborted: could not " + Describe(change), typed);
    } catch (const std::exception& e) {
        view.ErrorDialog(ErrorDialogText("typing \"" + typed + "\"", e));
        view.ShowStatus("(none)");
        return Result(ChangeOutcome::LinkError, "could not " + Describe(change) + ": " + e.what(), typed);
    }

    const auto after = ReadDirectoryEntries(link, view);
    if (!after)
        return ListingFailed(link, change, typed);
    const bool shown = Shown(*after, change);
    try {
        // Done: the entry stays on the line, so it is cleared; refused: the
        // calculator shows its error box, which only ESC closes.
        if (shown)
            PressKeys(link, {CalcKey::Clear});
        else
            PressKeys(link, {CalcKey::Esc, CalcKey::Clear});
    } catch (const std::exception& e) {
        view.ErrorDialog(ErrorDialogText("clearing the calculator's entry line", e));
        view.ShowStatus("(none)");
        return Result(ChangeOutcome::LinkError,
                      (shown ? PastTense(change) + ", but the entry line could not be cleared: "
                             : "could not " + Describe(change) + ": ") +
                          e.what(),
                      typed);
    }
    view.ShowStatus("(none)");
    if (shown)
        return Result(ChangeOutcome::Done, PastTense(change), typed);
    return Result(ChangeOutcome::NotAccepted, "could not " + Describe(change) + ": " + LikelyCause(*after, change),
                  typed);
}
