#include "app/startup/CommandLineStart.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "link/Dialogs.h"
#include "link/TransferView.h"

namespace fs = std::filesystem;

namespace {

std::string Upper(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
    return s;
}

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

bool IsPreinstalledFargoFile(const std::string& path)
{
    const std::string name = fs::path(path).filename().string();
    const std::string upper = Upper(path);
    return upper.size() >= 3 && Upper(name.substr(0, 5)) == "FARGO" && name.size() >= 7 && name[6] == '-' &&
           upper.substr(upper.size() - 3, 2) == "92";
}

bool UnderFolder(const std::string& path, const std::string& folder)
{
    if (folder.empty())
        return false;
    std::error_code ec;
    const fs::path file = fs::weakly_canonical(fs::absolute(path, ec), ec);
    const fs::path root = fs::weakly_canonical(folder, ec);
    if (ec || root.empty())
        return false;
    const std::string f = file.string(), r = root.string();
    return f.size() > r.size() && f.compare(0, r.size(), r) == 0 && (r.back() == '/' || f[r.size()] == '/');
}

}  // namespace

bool TakeOverFargoBackup(ParamCommandsType& commands, Dialogs& dialogs, TransferView& view,
                         const std::string& programFolder)
{
    if (!commands.Has(cmdSEND) || !IsPreinstalledFargoFile(commands.FileName))
        return false;
    const fs::path source = commands.FileName;
    const std::string name = source.filename().string();
    const fs::path target = fs::path(programFolder) / name;
    const auto sourceTime = fs::last_write_time(source);
    if (fs::exists(target) && fs::last_write_time(target) >= sourceTime)
        return false;

    fs::create_directories(programFolder);
    fs::copy_file(source, target, fs::copy_options::overwrite_existing);
    // A copy keeps the date of its original, so the same file given again is sent.
    fs::last_write_time(target, sourceTime);
    const std::string where = " has been copied to\r\"" + programFolder + "\".";
    ShowMessage(dialogs, "The file \"" + fs::absolute(source).lexically_normal().string() + "\"" + where,
                MsgIcon::Information);
    view.StatusMemoAdd("The file \"" + name + "\"" + where);
    if (Upper(name).ends_with("92B"))
        ShowMessage(dialogs,
                    "Your preinstalled Fargo-backup has been updated!\rYou probably need to update "
                    "your libraries and your standardpack too.",
                    MsgIcon::Information);
    commands.Commands = 0;
    commands.FileName.clear();
    // No task runs, so no automatic Next may hurry the user's own steps.
    commands.ParamMode = false;
    return true;
}

void OfferSaveFromTemporaryFolder(const ParamCommandsType& commands, Dialogs& dialogs, TransferView& view,
                                  const StartupFolders& folders)
{
    const std::string& file = commands.FileName;
    if (!commands.Has(cmdSEND) || file.empty())
        return;
    if (Lower(file).find("temp") == std::string::npos && !UnderFolder(file, folders.temporaryRoot))
        return;
    if (dialogs.MessageBox("This file seems to be located in a temporary folder.\rDo you wish to "
                           "save it on another location?",
                           "Linkwise", MsgIcon::Question, MsgButtons::YesNo) != MsgResult::Yes)
        return;
    const std::string name = fs::path(file).filename().string();
    FileDialogRequest request;
    request.title = "Save as";
    request.fileName = name;
    request.initialDir = folders.browserFolder;
    if (auto dot = name.find('.'); dot != std::string::npos) {
        request.defaultExtension = name.substr(dot + 1, 5);
        request.filter = request.defaultExtension + "-files (*." + request.defaultExtension + ")";
    }
    const auto chosen = dialogs.SaveFileName(request);
    if (!chosen)
        return;
    const fs::path target = *chosen;
    fs::copy_file(file, target, fs::copy_options::overwrite_existing);
    view.StatusMemoAdd(target.filename().string() + " was saved in " + target.parent_path().string() + ".");
}

void ReadCommandLine(ParamCommandsType& commands, const std::vector<std::string>& params, Dialogs& dialogs,
                     TransferView& view, const StartupFolders& folders)
{
    commands = ReadParamCommands(params);
    if (MissingParamFile(commands, params.size()))
        ShowMessage(dialogs, "No valid file entered as parameter!", MsgIcon::Error);
    else if ((commands.Has(cmdSEND) || commands.Has(cmdCONVERT)) && !commands.FileName.empty())
        commands.ParamMode = true;
    try {
        TakeOverFargoBackup(commands, dialogs, view, folders.programFolder);
        OfferSaveFromTemporaryFolder(commands, dialogs, view, folders);
    } catch (...) {
        // A file that cannot be copied leaves the start as it is.
    }
}
