#include "app/window/FargoSteps.h"

#include <QLabel>
#include <QRadioButton>
#include <filesystem>
#include <memory>

#include "app/window/ReceiveSteps.h"
#include "app/window/WebAddresses.h"
#include "app/window/WizardWindow.h"
#include "files/SafeFileName.h"
#include "files/SaveAs92g.h"
#include "files/TempStore.h"
#include "link/Clock.h"
#include "link/Dialogs.h"
#include "link/Exceptions.h"
#include "link/Ti92Link.h"
#include "transfers/BackupReceive.h"
#include "transfers/DirectoryListing.h"
#include "transfers/VariableReceive.h"

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kPauseBeforeContent = 2000;

// What the task keeps from step 2 for steps 3 and 4. Step 2 starts it
// afresh, so nothing of an earlier run is sent.
struct FargoState {
    std::string RomVersion;
    std::string FargoBackupFile;  // its name, then its full path once found
    bool contentSaved = false;    // step 2 ran to its end in this run
    std::string contentFile;      // saved by this run; empty for an empty calculator
    bool backupSent = false;
};

constexpr const char* kNoBackupWithoutContent =
    "The Fargo backup was not sent: it replaces every variable on the calculator, and the calculator's "
    "content was not saved in this run (\"Receive content\" did not complete).\rGo back to the version "
    "page and start again.";
constexpr const char* kNotInstalled = "Fargo was not installed: the Fargo backup was not sent in this run.";

std::string InformationPage(const std::string& romVersion)
{
    return std::string(kInformationAddress) + RomVersionPart(romVersion) + "/";
}

std::string MissingBackupText(bool newFargo, const std::string& rom)
{
    const std::string n = newFargo ? "2" : "1";
    return "A preinstalled Fargo" + n + "-backup for your ROM (v" + rom + ") could not be found.\r" +
           "You need the file: \"fargo" + n + "-" + RomVersionPart(rom) + ".92b\" for your calculator.\r\r" +
           "Please go to " + InformationPage(rom) + " to get the file!\rDo you want to go there now?";
}

std::string InstalledText(const std::string& rom)
{
    return "You have now got Fargo on your calculator!\rIf the screen is black, raise the contrast by "
           "pressing <romb> + \"-\".\r\rTips!\rGo to " +
           InformationPage(rom) +
           "\rto get a standardpack of files needed to run Fargo.\rDo you want "
           "to go there now?";
}

// The first folder holding the file; empty folder settings are skipped.
std::string FindInFolders(const std::string& name, const std::vector<std::string>& folders)
{
    for (std::string folder : folders) {
        if (folder.empty())
            continue;
        if (folder.back() != '/')
            folder += '/';
        std::error_code ec;
        if (fs::is_regular_file(folder + name, ec))
            return folder + name;
    }
    return {};
}

void ReceiveContent(WizardWindow& form, Ti92Link& link, Dialogs& dialogs, const FargoFolders& folders,
                    FargoState& state)
{
    state = FargoState{};
    try {
        state.RomVersion = GetRomVer(link, form);
    } catch (const std::exception& e) {
        ShowMessage(dialogs, e.what(), MsgIcon::Error);
        form.RecordStepResult(false);
        return;
    }
    const bool newFargo = form.newFargoRadio->isChecked();
    state.FargoBackupFile = FargoBackupName(newFargo, state.RomVersion);
    const std::string found =
        FindInFolders(state.FargoBackupFile, {folders.programFolder, folders.shippedFolder, form.settings.Fargo1LibDir,
                                              form.settings.Fargo2LibDir});
    if (found.empty()) {
        form.RecordStepResult(false);
        if (dialogs.MessageBox(MissingBackupText(newFargo, state.RomVersion), "Linkwise", MsgIcon::Error,
                               MsgButtons::YesNo) == MsgResult::Yes)
            form.OpenAddress(InformationPage(state.RomVersion));
        return;
    }
    state.FargoBackupFile = found;
    form.helpLine->setText("Please wait, Linkwise is requesting all variables on the calculator..");
    if (!FetchDirectoryList(link, form, ListViewId::Calculator))
        return form.RecordStepResult(false);
    form.VarListClear();
    for (const ListItem& row : form.ListViewItems(ListViewId::Calculator))
        form.VarListAdd(row.caption);
    const TempStore store = FormStore(form);
    if (!ReceiveAll(link, form, store, false, true))
        return form.RecordStepResult(false);
    const std::string content = folders.programFolder + "content.92g";
    // An empty calculator saves nothing: an older content must not be sent back.
    if (store.ReadIndex().empty()) {
        std::error_code ec;
        fs::remove(content, ec);
    } else if (SaveAs92g(form, store, form.settings.StoreFolders, content, false, false, "Content of calculator")) {
        state.contentFile = content;
    } else {
        return form.RecordStepResult(false);
    }
    state.contentSaved = true;
    form.ClickNextButton();
}

void SendBackupFile(WizardWindow& form, Dialogs& dialogs, FargoState& state, const FileListSend& send)
{
    form.VarListClear();
    state.backupSent = false;
    if (!state.contentSaved) {
        ShowMessage(dialogs, kNoBackupWithoutContent, MsgIcon::Error);
        form.RecordStepResult(false);
        return;
    }
    // Step 4 may start inside this send, by the automatic Next.
    const bool sent = send({state.FargoBackupFile}, [&state] { state.backupSent = true; });
    form.RecordStepResult(sent);
}

void SendContentBack(WizardWindow& form, Ti92Link& link, Dialogs& dialogs, const FargoState& state,
                     const FileListSend& send)
{
    form.VarListClear();
    link.clock().Sleep(kPauseBeforeContent);
    // The failure is recorded first: the content's send may move on to the
    // Finished page by itself.
    if (!state.backupSent) {
        ShowMessage(dialogs, kNotInstalled, MsgIcon::Error);
        form.RecordStepResult(false);
    }
    // Only what this run saved goes back: also after a failed backup send,
    // whose first blocks may already have cleared the memory.
    if (!state.contentFile.empty())
        form.RecordStepResult(send({state.contentFile}, {}));
    if (!state.backupSent)
        return;
    const fs::path backup = state.FargoBackupFile;
    const fs::path pack = backup.parent_path() / (backup.filename().string().substr(0, 6) + "-standardpack.92g");
    if (fs::exists(pack)) {
        if (dialogs.MessageBox("Do you want to send some necessary files to? (Standardpack)", "Linkwise",
                               MsgIcon::Question, MsgButtons::YesNo) == MsgResult::Yes)
            form.RecordStepResult(send({pack.string()}, {}));
        return;
    }
    if (dialogs.MessageBox(InstalledText(state.RomVersion), "Linkwise", MsgIcon::Information, MsgButtons::YesNo) !=
        MsgResult::Yes)
        return;
    form.OpenAddress(InformationPage(state.RomVersion));
    // The graph-link cable's calculator restarts with Fargo; the program ends.
    if (link.Cabletype != 1)
        form.RequestTerminate();
}

}  // namespace

std::string RomVersionPart(const std::string& romVersion)
{
    if (romVersion.empty())
        return "_";
    return romVersion.substr(0, 1) + "_" + (romVersion.size() > 2 ? romVersion.substr(2) : "");
}

std::string FargoBackupName(bool newFargo, const std::string& romVersion)
{
    // The version comes from the calculator: it must not lead out of the folder.
    return SafeFileName(std::string(newFargo ? "fargo2-" : "fargo1-") + RomVersionPart(romVersion) + ".92b");
}

void InstallFargoSteps(WizardWindow& form, Ti92Link& link, Dialogs& dialogs, const FargoFolders& folders,
                       FileListSend send)
{
    auto state = std::make_shared<FargoState>();
    form.SetStepAction(taskInsertFargo, 2, [&form, &link, &dialogs, folders, state] {
        ReceiveContent(form, link, dialogs, folders, *state);
    });
    form.SetStepAction(taskInsertFargo, 3,
                       [&form, &dialogs, state, send] { SendBackupFile(form, dialogs, *state, send); });
    form.SetStepAction(taskInsertFargo, 4,
                       [&form, &link, &dialogs, state, send] { SendContentBack(form, link, dialogs, *state, send); });
}
