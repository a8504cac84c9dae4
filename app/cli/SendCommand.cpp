#include <cctype>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <ostream>

#include "app/cli/CliCommands.h"
#include "app/cli/CliLink.h"
#include "app/cli/ConsoleDialogs.h"
#include "app/cli/ConsoleTransferView.h"
#include "app/cli/PrintableText.h"
#include "app/cli/PrivateStoreFolder.h"
#include "app/settings/DataPlaces.h"
#include "app/settings/IniSettingsStore.h"
#include "app/settings/SettingsRecord.h"
#include "cmdline/WordValue.h"
#include "files/ByteSource.h"
#include "files/ClassifyFile.h"
#include "files/FileFormat.h"
#include "files/TempStore.h"
#include "link/Exceptions.h"
#include "transfers/FileListSend.h"
#include "transfers/SendPlan.h"

namespace {

// The library and replace questions on a terminal; end of input counts as No.
class TerminalDialogs : public ConsoleDialogs {
public:
    explicit TerminalDialogs(std::ostream& err) : ConsoleDialogs(err), fErr(err) {}
    MsgResult MessageBox(const std::string& text, const std::string& caption, MsgIcon icon, MsgButtons buttons) override
    {
        if (buttons != MsgButtons::YesNoAll)
            return ConsoleDialogs::MessageBox(text, caption, icon, buttons);
        fErr << ConsoleText(text) << ' ';
        for (;;) {
            fErr << "[y]es, [n]o, [a]lways yes, ne[v]er, [c]ancel: " << std::flush;
            std::string answer;
            if (!std::getline(std::cin, answer))
                return MsgResult::No;
            for (char& c : answer)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            if (answer == "y" || answer == "yes")
                return MsgResult::Yes;
            if (answer == "n" || answer == "no")
                return MsgResult::No;
            if (answer == "a" || answer == "always")
                return MsgResult::YesToAll;
            if (answer == "v" || answer == "never")
                return MsgResult::NoToAll;
            if (answer == "c" || answer == "cancel")
                return MsgResult::Cancel;
        }
    }
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

// A yes-or-no question on a terminal; anything but yes, and the end of
// input, count as No.
bool TerminalYes(std::ostream& err, const std::string& question)
{
    err << question << " [y/N] " << std::flush;
    std::string answer;
    if (!std::getline(std::cin, answer))
        return false;
    for (char& c : answer)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return answer == "y" || answer == "yes";
}

std::string WithSlash(std::string dir)
{
    if (!dir.empty() && dir.back() != '/')
        dir += '/';
    return dir;
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
    static const std::pair<const char*, LibraryChoice> kChoices[] = {{"yes", LibraryChoice::AlwaysYes},
                                                                     {"no", LibraryChoice::AlwaysNo},
                                                                     {"ask", LibraryChoice::Ask}};
    return WordValue(name, kChoices, "--libraries takes yes, no or ask, not '" + name + "'");
}

struct SendArguments {
    std::vector<std::string> paths;
    bool yes = false;
    bool force = false;
    bool terminal = false;  // standard input is one: questions can be asked
    std::string libDir1, libDir2;
    std::string libraries;  // --libraries as given
    LibraryChoice choice = LibraryChoice::Ask;
    TextVariableNaming naming;
};

SendArguments Parse(const ParsedOptions& args)
{
    SendArguments a;
    a.paths = args.positional;
    a.yes = args.Has("yes");
    a.force = args.Has("force");
    a.libDir1 = args.Value("lib-dir1");
    a.libDir2 = args.Value("lib-dir2");
    a.libraries = args.Value("libraries");
    if (a.paths.empty())
        throw CliUsageError("names no file");
    a.naming = NamingOptions(args);
    const bool terminal = isatty(STDIN_FILENO);
    a.terminal = terminal;
    if (!(a.naming.name.empty() && a.naming.folder.empty()) && CountTextFiles(a.paths) != 1)
        throw CliUsageError("--name and --folder need exactly one text file among the files sent");
    a.choice =
        a.libraries.empty() ? (terminal ? LibraryChoice::Ask : LibraryChoice::AlwaysNo) : ChoiceNamed(a.libraries);
    return a;
}

// Why one file cannot be sent, or empty when it can; `info` learns its kind
// and libraries.
std::string Refusal(VariableFileType& info, const SendArguments& a, const CliContext& context)
{
    const bool verbose = context.options.verbose;
    try {
        ClassifyFile(info);
    } catch (const ELinkwiseError& e) {
        std::string line = ConsoleErrorLine(e, verbose);
        while (!line.empty() && (line.back() == '.' || line.back() == '!'))
            line.pop_back();
        return line + "; nothing was sent";
    }
    if (info.kind == kinds::kNone)
        return "neither a TI-92 file nor a text file; nothing was sent";
    if (info.kind == kinds::kText) {
        try {
            TextStoredName(info.path, a.naming);
        } catch (const EFileError& e) {
            return std::string(e.what()) + " Give one with --name; nothing was sent.";
        }
    }
    if (info.kind == kinds::kSingle + ti92::kBackupType && !a.yes) {
        if (!a.terminal)
            return "a memory backup replaces the calculator's whole memory; add --yes to send it; nothing was sent";
        if (!TerminalYes(context.err, "Replace the calculator's whole memory with " +
                                          std::filesystem::path(info.path).filename().string() + "?"))
            return "the calculator's memory was left as it is; nothing was sent";
    }
    if (info.kind >= kinds::kFargo2Library && info.kind != kinds::kSingle + ti92::kBackupType) {
        try {
            PlanSend(DiskBytes(info.path), std::filesystem::path(info.path).filename().string());
        } catch (const EFileError& e) {
            return ConsoleErrorLine(e, verbose);
        }
    }
    return {};
}

// Every file is checked before the first byte goes out. Returns the Fargo
// libraries the files need, or nullopt after naming the file that cannot go.
std::optional<std::vector<std::string>> CheckFiles(const CliContext& context, const SendArguments& a)
{
    std::vector<std::string> libraryNeeds;
    for (const std::string& path : a.paths) {
        VariableFileType info;
        info.path = path;
        const std::string refusal = Refusal(info, a, context);
        if (!refusal.empty()) {
            context.Fail(path, refusal);
            return std::nullopt;
        }
        for (const std::string& library : info.libraries)
            libraryNeeds.push_back(library + " (for " + std::filesystem::path(path).filename().string() + ")");
    }
    return libraryNeeds;
}

// The library folders: the options, else the window's settings.
FargoLibrarySettings LibrarySettings(SettingsStore& settings, const SendArguments& a)
{
    FargoLibrarySettings libs;
    libs.fargo1Dir = WithSlash(a.libDir1.empty() ? StoredFargoLibraryFolder(settings, 1, UserDataFolder()) : a.libDir1);
    libs.fargo2Dir = WithSlash(a.libDir2.empty() ? StoredFargoLibraryFolder(settings, 2, UserDataFolder()) : a.libDir2);
    libs.autoCollect = ReadBool(settings, "Settings", "Autocollect Libraries", 1);
    return libs;
}

// Libraries left out without a question are named, so a script's log shows
// why a program will not run.
void NoteLibrariesLeftOut(const CliContext& context, const SendArguments& a,
                          const std::vector<std::string>& libraryNeeds)
{
    if (a.choice != LibraryChoice::AlwaysNo || libraryNeeds.empty())
        return;
    std::string names;
    for (const std::string& n : libraryNeeds)
        names += (names.empty() ? "" : ", ") + n;
    context.Note("Fargo libraries not sent: " + names + ": " +
                 (a.libraries.empty() ? "no terminal to ask (--libraries yes sends them)" : "--libraries no"));
}

// "Sent notes.txt as main\notes", one line for each file that went.
void ReportSent(const CliContext& context, const FileListSendResult& r)
{
    for (const SentFile& sent : r.sent) {
        std::string names;
        for (size_t i = 0; i < sent.variables.size(); ++i)
            names += (i == 0 ? "" : i + 1 == sent.variables.size() ? " and " : ", ") + Printable(sent.variables[i]);
        if (sent.backup)
            names = "the calculator's whole memory";
        context.Report("Sent " + sent.file + (names.empty() ? "" : " as " + names) +
                       (sent.library ? " (a Fargo library)" : ""));
    }
}

int SendStatus(const CliContext& context, const FileListSendResult& r)
{
    if (r.Complete())
        return exitstatus::kSuccess;
    if (r.cancelled) {
        context.Fail("the send was cancelled; nothing was sent");
        return exitstatus::kInterrupted;
    }
    auto lines = [](const std::vector<std::string>& names) {
        std::string text;
        for (const std::string& name : names)
            text += "\n  " + PrintableMessage(name);
        return text;
    };
    if (!r.existing.empty())
        context.Fail("the calculator already holds these variables; nothing was sent:" + lines(r.existing) +
                     "\nAdd --force to replace them.");
    if (!r.repeated.empty())
        context.Fail("the files give these variables more than once; nothing was sent:" + lines(r.repeated) +
                     "\nAdd --force to send every copy, each replacing the one before.");
    if (!r.existing.empty() || !r.repeated.empty())
        return exitstatus::kRefused;
    return r.errorClass == "ECalculatorError" ? exitstatus::kRefused : exitstatus::kError;
}

}  // namespace

int RunSend(CliContext& context, const ParsedOptions& args)
{
    const SendArguments a = Parse(args);
    const std::optional<std::vector<std::string>> libraryNeeds = CheckFiles(context, a);
    if (!libraryNeeds)
        return exitstatus::kError;

    const char* settingsPath = std::getenv("LINKWISE_SETTINGS");
    IniSettingsStore settings(settingsPath ? settingsPath : "");
    const FargoLibrarySettings libs = LibrarySettings(settings, a);

    Ti92Link& link = context.Link().tti92();
    ConsoleTransferView view(link, context);
    TerminalDialogs dialogs(context.err);
    PrivateStoreFolder folder("linkwise-send");
    TempStore store(folder.Path());
    const bool ask = ReadBool(settings, "Settings", kAskBeforeReplaceName, 1);
    const ReplacePolicy replace = a.force || !ask ? ReplacePolicy::Replace
                                  : a.terminal    ? ReplacePolicy::Ask
                                                  : ReplacePolicy::Refuse;
    const FileListSendJob job{link,  view, dialogs,  store,    (folder.Path() / "~tmp.92t").string(),
                              true,  libs, a.choice, a.naming, replace,
                              false, {}};
    const FileListSendResult r = SendFileList(job, a.paths);
    ReportSent(context, r);
    NoteLibrariesLeftOut(context, a, *libraryNeeds);
    return SendStatus(context, r);
}
