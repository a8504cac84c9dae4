#include <fnmatch.h>
#include <unistd.h>

#include <QDateTime>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <iostream>
#include <optional>
#include <ostream>
#include <set>

#include "app/cli/CliCommands.h"
#include "app/cli/CliLink.h"
#include "app/cli/ConsoleTransferView.h"
#include "app/cli/OutputTarget.h"
#include "app/cli/PrintableText.h"
#include "app/cli/PrivateStoreFolder.h"
#include "files/CommentPrompt.h"
#include "files/FileExtensions.h"
#include "files/FileFormat.h"
#include "files/OwnFileNames.h"
#include "files/ReplacingFile.h"
#include "files/SaveAs92g.h"
#include "files/TempStore.h"
#include "files/Ti92Charset.h"
#include "files/VariableViewing.h"
#include "link/Exceptions.h"
#include "transfers/DirectoryListing.h"
#include "transfers/VariableReceive.h"

namespace fs = std::filesystem;

namespace {

struct GetArguments {
    std::vector<std::string> names;
    bool all = false;
    std::string output;
    bool commentGiven = false;
    bool storeFolders = true;
};

GetArguments Parse(const ParsedOptions& args)
{
    GetArguments g;
    g.names = args.positional;
    g.all = args.Has("all");
    g.output = args.Value("output");
    g.commentGiven = args.Has("comment");
    g.storeFolders = !args.Has("no-folders");
    if (g.names.empty() && !g.all)
        throw CliUsageError("names no variable (or --all)");
    if (!g.names.empty() && g.all)
        throw CliUsageError("takes names or --all, not both");
    if (g.output.empty())
        throw CliUsageError(g.all ? "needs -o DIR" : "needs -o FILE, -o DIR or -o -");
    return g;
}

bool IsPattern(const std::string& name)
{
    return name.find_first_of("*?[") != std::string::npos;
}

// Whether a name typed on the command line names these calculator bytes:
// as `ls` prints them, as `ls --json` gives them, in the calculator's
// characters, or as the bytes themselves.
bool Shows(const std::string& bytes, const std::string& name)
{
    if (bytes == name || Printable(bytes) == name || ti92text::ToUtf8(bytes) == name)
        return true;
    const ti92text::Encoded typed = ti92text::FromUtf8(name);
    return typed.missing == 0 && typed.bytes == bytes;
}

std::vector<size_t> Matches(const std::vector<ListItem>& rows, const std::string& name)
{
    const bool pattern = IsPattern(name);
    std::string bytes = name;
    if (const ti92text::Encoded typed = ti92text::FromUtf8(name); typed.missing == 0)
        bytes = typed.bytes;
    const bool withFolder = name.find('\\') != std::string::npos;
    std::vector<size_t> found;
    for (size_t i = 0; i < rows.size(); ++i) {
        const std::string& caption = rows[i].caption;
        const auto slash = caption.find('\\');
        const std::string variable = slash == std::string::npos ? caption : caption.substr(slash + 1);
        const std::string& subject = withFolder ? caption : variable;
        if (pattern ? fnmatch(bytes.c_str(), subject.c_str(), FNM_NOESCAPE) == 0 : Shows(subject, name))
            found.push_back(i);
    }
    return found;
}

// The rows a name on the command line means: folder\name exactly as `ls`
// shows it (or folder/name, the first '/' taken as the folder separator when
// no row is named with that '/'), a bare name found in exactly one folder,
// or every row a shell pattern matches (a pattern without a folder matches
// the names in every folder). Empty with a message when there is none, or
// more than one for a plain name.
std::vector<size_t> FindRows(const std::vector<ListItem>& rows, const std::string& name, std::string& problem)
{
    const bool pattern = IsPattern(name);
    std::vector<size_t> found = Matches(rows, name);
    const auto slash = name.find('/');
    if (found.empty() && slash != std::string::npos && name.find('\\') == std::string::npos)
        found = Matches(rows, name.substr(0, slash) + "\\" + name.substr(slash + 1));
    if (found.empty()) {
        problem = (pattern ? "no variable matches " : "the calculator has no variable ") + PrintableUtf8(name);
    } else if (found.size() > 1 && !pattern) {
        problem = PrintableUtf8(name) + " is in more than one folder; name one of:";
        for (size_t i : found)
            problem += " " + Printable(rows[i].caption);
        found.clear();
    }
    return found;
}

bool IsTextTarget(const std::string& path)
{
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext == ".txt";
}

// The one received text variable as a UTF-8 text file with LF line ends.
int SaveAsText(CliContext& context, const TempStore& store, const std::string& path)
{
    const std::vector<IndexRecord> records = store.ReadIndex();
    if (records.size() != 1 || records[0].type != ti92::kTextType)
        throw EFileError("The received data hold no text variable for " + path + ".");
    ReplacingFile file(path);
    UnmappedCodes unmapped;
    WriteRaw(file.Stream(), TextVariableAsUtf8(store.ReadItem(records[0]), &unmapped));
    file.Commit();
    context.Report("Saved " + Printable(records[0].name) + " to " + path + " as UTF-8 text with LF line ends");
    if (const std::string note = UnmappedCodesNote(unmapped); !note.empty())
        context.Note(note);
    return exitstatus::kSuccess;
}

// "main\a", "main\a and main\b", ...; a count beyond four.
std::string NamesOf(const std::vector<IndexRecord>& records)
{
    if (records.size() > 4)
        return std::to_string(records.size()) + " variables";
    std::string names;
    for (size_t i = 0; i < records.size(); ++i)
        names += (i == 0 ? "" : i + 1 == records.size() ? " and " : ", ") + Printable(records[i].name);
    return names;
}

// The output target the arguments allow; throws CliUsageError otherwise.
OutputTarget CheckedTarget(const CliContext& context, const GetArguments& g)
{
    if (g.all) {
        if (g.output == "-")
            throw CliUsageError("--all needs -o DIR, a folder");
        return OutputTarget::Folder(g.output);
    }
    return OutputTarget::Check(g.output, isatty(STDOUT_FILENO) && &context.out == &std::cout);
}

// Whether the variable goes into a .txt file; that holds one text variable.
bool SavesAsText(const GetArguments& g, const OutputTarget& target)
{
    const bool asText = target.kind == OutputTarget::Kind::File && IsTextTarget(g.output);
    if (asText && (g.names.size() != 1 || IsPattern(g.names.front())))
        throw CliUsageError("a .txt target holds one text variable; name one");
    return asText;
}

// The listed rows the names (or --all) choose; nullopt, said on the error
// stream, when a name finds none or a .txt target would get no text.
std::optional<std::set<size_t>> ChooseRows(const CliContext& context, const GetArguments& g,
                                           const std::vector<ListItem>& rows, bool asText)
{
    std::set<size_t> chosen;
    for (size_t i = 0; g.all && i < rows.size(); ++i)
        chosen.insert(i);
    for (const std::string& name : g.names) {
        std::string problem;
        const std::vector<size_t> found = FindRows(rows, name, problem);
        if (found.empty()) {
            context.Fail(problem);
            return std::nullopt;
        }
        if (asText && rows[found.front()].data != ti92::kTextType) {
            const ListItem& row = rows[found.front()];
            context.Fail(Printable(row.caption) + " is a " + (row.subItems.empty() ? "non-text" : row.subItems[0]) +
                         " variable, not a text: only a text variable can be saved as .txt");
            return std::nullopt;
        }
        chosen.insert(found.begin(), found.end());
    }
    return chosen;
}

// Selects the chosen rows and lists them as the variables to get; returns
// their names.
std::vector<std::string> MarkForReceive(ConsoleTransferView& view, const std::set<size_t>& chosen)
{
    for (size_t row : chosen)
        view.SetSelected(ListViewId::Calculator, row, true);
    view.VarListClear();
    std::vector<std::string> planned;
    for (const ListItem& row : view.ListViewItems(ListViewId::Calculator)) {
        if (row.selected) {
            view.VarListAdd(row.caption);
            planned.push_back(row.caption);
        }
    }
    return planned;
}

// Known from the listing: one file too big to write is refused before a
// single variable is requested.
bool FitsTheTarget(const CliContext& context, const GetArguments& g, const OutputTarget& target,
                   const std::vector<std::string>& planned)
{
    const size_t entries = EntriesForNames(planned, g.storeFolders);
    if (target.kind == OutputTarget::Kind::Folder || entries <= ti92::kMaxEntries)
        return true;
    context.Fail("nothing received", std::to_string(planned.size()) + " variables make " + std::to_string(entries) +
                                         " entries, and a TI-92 file holds at most " +
                                         std::to_string(ti92::kMaxEntries) +
                                         "; save into a folder with -o DIR, one file per variable");
    return false;
}

// Where and how the received variables are saved.
struct ReceivedSaving {
    const GetArguments& args;
    const OutputTarget& target;
    const fs::path& workFolder;  // private, for the file bound for standard output
    std::string comment;
    bool asText;
};

// Every variable in one file: a .txt, a TI-92 file, or standard output.
int SaveIntoOneFile(CliContext& context, ConsoleTransferView& view, const TempStore& store, const ReceivedSaving& plan)
{
    if (plan.asText)
        return SaveAsText(context, store, plan.args.output);
    if (plan.target.kind == OutputTarget::Kind::File) {
        if (!SaveAs92g(view, store, plan.args.storeFolders, plan.target.path.string(), false, true, plan.comment))
            return exitstatus::kError;
        context.Report("Saved " + NamesOf(store.ReadIndex()) + " to " + plan.target.path.string());
        return exitstatus::kSuccess;
    }
    const fs::path file = plan.workFolder / "output";
    if (!SaveAs92g(view, store, plan.args.storeFolders, file.string(), false, false, plan.comment))
        return exitstatus::kError;
    if (!CopyToStream(file, context.out)) {
        context.Fail("writing to standard output failed");
        return exitstatus::kError;
    }
    context.Report(context.err, "Saved " + NamesOf(store.ReadIndex()) + " to standard output");
    return exitstatus::kSuccess;
}

struct SaveTally {
    int saved = 0;
    bool failed = false;
};

// One file per variable (FOLDER/NAME.EXT with --all, NAME.EXT otherwise; see
// PlanOwnFileNames for names that collide); whatever arrived is saved even
// when the rest did not.
SaveTally SaveEachVariable(const CliContext& context, ConsoleTransferView& view, const TempStore& store,
                           const ReceivedSaving& plan)
{
    const TempStore single(plan.workFolder / "single");
    fs::create_directories(single.Folder());
    SaveTally tally;
    const std::vector<IndexRecord> records = store.ReadIndex();
    const std::vector<OwnFileName> names = PlanOwnFileNames(records, plan.args.all);
    for (size_t i = 0; i < records.size(); ++i) {
        const IndexRecord& record = records[i];
        const fs::path file = plan.target.path / names[i].path;
        if (names[i].path != names[i].natural)
            context.Note(Printable(record.name) + " is saved as " + PrintableMessage(names[i].path.string()) +
                         ": another variable of this run has the file name " +
                         PrintableMessage(names[i].natural.string()) + " too");
        std::error_code ec;
        fs::create_directories(file.parent_path(), ec);
        single.Clear();
        single.AddItem(record.name, record.type, store.ReadItem(record));
        if (SaveAs92g(view, single, plan.args.storeFolders, file.string(), false, true, plan.comment)) {
            context.Report("Saved " + Printable(record.name) + " to " + file.string());
            ++tally.saved;
        } else
            tally.failed = true;
    }
    return tally;
}

}  // namespace

int RunGet(CliContext& context, const ParsedOptions& args)
{
    const GetArguments g = Parse(args);
    const OutputTarget target = CheckedTarget(context, g);
    const FileComment fileComment = CommentOption(context, args);
    const bool asText = SavesAsText(g, target);

    PrivateStoreFolder folder("linkwise-get");
    TempStore store(folder.Path());
    Ti92Link& link = context.Link().tti92();
    ConsoleTransferView view(link, context);
    if (!FetchDirectoryList(link, view, ListViewId::Calculator))
        return view.FailureStatus();

    const std::optional<std::set<size_t>> chosen =
        ChooseRows(context, g, view.ListViewItems(ListViewId::Calculator), asText);
    if (!chosen)
        return exitstatus::kError;
    if (chosen->empty()) {
        context.Note("the calculator holds no variables; nothing saved");
        return exitstatus::kSuccess;
    }
    if (!FitsTheTarget(context, g, target, MarkForReceive(view, *chosen)))
        return exitstatus::kError;

    const bool complete = ReceiveAll(link, view, store, false);
    const ReceivedSaving plan{g, target, folder.Path(),
                              g.commentGiven ? fileComment.bytes : CommentProposal(QDateTime::currentDateTime()),
                              asText};
    if (target.kind != OutputTarget::Kind::Folder) {
        if (!complete) {
            context.Fail("nothing saved", "not every variable was received");
            return view.FailureStatus();
        }
        return SaveIntoOneFile(context, view, store, plan);
    }
    const SaveTally tally = SaveEachVariable(context, view, store, plan);
    if (!complete || tally.failed) {
        context.Fail("only " + std::to_string(tally.saved) + " of " + std::to_string(chosen->size()) +
                     " variables saved");
        return complete ? exitstatus::kError : view.FailureStatus();
    }
    return exitstatus::kSuccess;
}
