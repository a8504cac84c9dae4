#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <ostream>

#include "app/cli/CliCommands.h"
#include "app/cli/CliLink.h"
#include "app/cli/ConsoleDialogs.h"
#include "app/cli/ConsoleTransferView.h"
#include "app/cli/PrivateStoreFolder.h"
#include "app/settings/IniSettingsStore.h"
#include "app/settings/SettingsRecord.h"
#include "files/ByteSource.h"
#include "files/ClassifyFile.h"
#include "files/FileFormat.h"
#include "files/TempStore.h"
#include "link/Exceptions.h"
#include "transfers/FileListSend.h"

namespace {

// The library question on a terminal; end of input counts as No.
class TerminalDialogs : public ConsoleDialogs {
public:
    explicit TerminalDialogs(std::ostream& err) : ConsoleDialogs(err), fErr(err) {}
    int FargoLibraryQuestion(const std::string& caption) override
    {
        for (;;) {
            fErr << caption << " [y]es, [n]o, [a]lways yes, ne[v]er: " << std::flush;
            std::string answer;
            if (!std::getline(std::cin, answer))
                return 2;
            if (answer == "y" || answer == "yes")
                return 1;
            if (answer == "n" || answer == "no")
                return 2;
            if (answer == "a" || answer == "always")
                return 11;
            if (answer == "v" || answer == "never")
                return 22;
        }
    }

private:
    std::ostream& fErr;
};

std::string WithSlash(std::string dir)
{
    if (!dir.empty() && dir.back() != '/')
        dir += '/';
    return dir;
}

// The folder of this executable: where the window keeps libraries by default.
std::string ExecutableFolder()
{
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string("./") : WithSlash(exe.parent_path().string());
}

int CountTextFiles(const std::vector<std::string>& paths)
{
    int n = 0;
    for (const std::string& path : paths) {
        VariableFileType info;
        info.path = path;
        ClassifyFile(info);
        n += info.kind == kinds::kText;
    }
    return n;
}

LibraryChoice ChoiceNamed(const std::string& name)
{
    if (name == "yes")
        return LibraryChoice::AlwaysYes;
    if (name == "no")
        return LibraryChoice::AlwaysNo;
    if (name == "ask")
        return LibraryChoice::Ask;
    throw CliUsageError("--libraries takes yes, no or ask, not '" + name + "'");
}

}  // namespace

int RunSend(CliContext& context, const ParsedOptions& args)
{
    const std::vector<std::string>& paths = args.positional;
    const bool yes = args.Has("yes");
    const bool force = args.Has("force");
    const std::string libDir1 = args.Value("lib-dir1"), libDir2 = args.Value("lib-dir2");
    const std::string libraries = args.Value("libraries");
    if (paths.empty())
        throw CliUsageError("names no file");
    TextVariableNaming naming;
    if (args.Has("name"))
        naming.name = CheckedVariableName("--name", args.Value("name"));
    if (args.Has("folder"))
        naming.folder = CheckedVariableName("--folder", args.Value("folder"));
    const bool terminal = isatty(STDIN_FILENO);
    if (!(naming.name.empty() && naming.folder.empty()) && CountTextFiles(paths) != 1)
        throw CliUsageError("--name and --folder need exactly one text file among the files sent");
    const LibraryChoice choice =
        libraries.empty() ? (terminal ? LibraryChoice::Ask : LibraryChoice::AlwaysNo) : ChoiceNamed(libraries);

    // Every file is checked before the first byte goes out.
    std::vector<std::string> libraryNeeds;
    for (const std::string& path : paths) {
        VariableFileType info;
        info.path = path;
        try {
            ClassifyFile(info);
        } catch (const ELinkwiseError& e) {
            context.Fail(path, ConsoleErrorLine(e, context.options.verbose) + "; nothing was sent");
            return exitstatus::kError;
        }
        if (info.kind == kinds::kNone) {
            context.Fail(path, "neither a TI-92 file nor a text file; nothing was sent");
            return exitstatus::kError;
        }
        if (info.kind == kinds::kText) {
            try {
                TextStoredName(path, naming);
            } catch (const EFileError& e) {
                context.Fail(path, std::string(e.what()) + " Give one with --name; nothing was sent.");
                return exitstatus::kError;
            }
        }
        if (info.kind == kinds::kSingle + ti92::kBackupType && !yes) {
            context.Fail(path, "a memory backup replaces the calculator's whole memory; add --yes to send it; "
                               "nothing was sent");
            return exitstatus::kError;
        }
        for (const std::string& library : info.libraries)
            libraryNeeds.push_back(library + " (for " + std::filesystem::path(path).filename().string() + ")");
    }

    const char* settingsPath = std::getenv("LINKWISE_SETTINGS");
    IniSettingsStore settings(settingsPath ? settingsPath : "");
    const std::string home = ExecutableFolder();
    FargoLibrarySettings libs;
    libs.fargo1Dir = WithSlash(libDir1.empty() ? ReadText(settings, "Settings", "Fargo1 Librarydir", home) : libDir1);
    libs.fargo2Dir = WithSlash(libDir2.empty() ? ReadText(settings, "Settings", "Fargo2 Librarydir", home) : libDir2);
    libs.autoCollect = ReadBool(settings, "Settings", "Autocollect Libraries", 1);

    TTI92& link = context.Link().tti92();
    ConsoleTransferView view(link, context);
    TerminalDialogs dialogs(context.err);
    PrivateStoreFolder folder("linkwise-send");
    TempStore store(folder.Path());
    const bool ask = ReadBool(settings, "Settings", kAskBeforeReplaceName, 1);
    const ReplacePolicy replace = force || !ask ? ReplacePolicy::Replace : ReplacePolicy::Refuse;
    const FileListSendJob job{link, view, dialogs, store, (folder.Path() / "~tmp.92t").string(), true, libs, choice,
                              naming, replace};
    const FileListSendResult r = SendFileList(job, paths);
    // Libraries left out without a question are named, so a script's log shows
    // why a program will not run.
    if (choice == LibraryChoice::AlwaysNo && !libraryNeeds.empty()) {
        std::string names;
        for (const std::string& n : libraryNeeds)
            names += (names.empty() ? "" : ", ") + n;
        context.Note("Fargo libraries not sent: " + names + ": " +
                     (libraries.empty() ? "no terminal to ask (--libraries yes sends them)" : "--libraries no"));
    }
    if (r.Complete())
        return exitstatus::kSuccess;
    if (!r.existing.empty()) {
        std::string names;
        for (const std::string& name : r.existing)
            names += "\n  " + name;
        context.Fail("send", "the calculator already holds these variables; nothing was sent:" + names +
                                 "\nAdd --force to replace them.");
        return exitstatus::kRefused;
    }
    return r.errorClass == "ECalculatorError" ? exitstatus::kRefused : exitstatus::kError;
}
