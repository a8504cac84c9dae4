#include <unistd.h>

#include <QDateTime>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <ostream>

#include "app/cli/CliCommands.h"
#include "app/cli/CliLink.h"
#include "app/cli/ConsoleTransferView.h"
#include "app/cli/PrintableText.h"
#include "files/CommentPrompt.h"
#include "files/FileFormat.h"
#include "files/ReplacingFile.h"
#include "files/VariableViewing.h"
#include "files/SaveAs92g.h"
#include "files/TempStore.h"
#include "files/Ti92Charset.h"
#include "link/Exceptions.h"
#include "transfers/DirectoryListing.h"
#include "transfers/VariableReceive.h"
#include "app/cli/PrivateStoreFolder.h"

namespace {

struct GetArguments {
    std::vector<std::string> names;
    std::string output;
    std::string comment;
    bool commentGiven = false;
    bool storeFolders = true;
};

GetArguments Parse(const std::vector<std::string>& args)
{
    GetArguments g;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-o" || a == "--output") {
            g.output = OptionValue(args, i);
        } else if (a == "--comment") {
            g.comment = OptionValue(args, i);
            g.commentGiven = true;
        } else if (a == "--no-folders") {
            g.storeFolders = false;
        } else if (a.size() > 1 && a[0] == '-') {
            throw CliUsageError("unknown option '" + a + "' for 'get'");
        } else {
            g.names.push_back(a);
        }
    }
    if (g.names.empty() || g.output.empty())
        throw CliUsageError("usage: get NAME... -o FILE [--comment TEXT] [--no-folders]\n"
                            "       get NAME -o FILE.txt   (a text variable as UTF-8 text)");
    return g;
}

// The row a name on the command line means: folder\name (or folder/name)
// exactly, or a bare name found in exactly one folder. -1 with a message
// when there is none or more than one.
int FindRow(const std::vector<ListItem>& rows, std::string name, std::string& problem)
{
    std::replace(name.begin(), name.end(), '/', '\\');
    // Typed as ls shows it: in the calculator's characters.
    if (const ti92text::Encoded typed = ti92text::FromUtf8(name); typed.missing == 0)
        name = typed.bytes;
    std::vector<int> found;
    for (size_t i = 0; i < rows.size(); ++i) {
        const std::string& caption = rows[i].caption;
        const auto slash = caption.find('\\');
        const std::string variable = slash == std::string::npos ? caption : caption.substr(slash + 1);
        if (caption == name || (name.find('\\') == std::string::npos && variable == name))
            found.push_back(static_cast<int>(i));
    }
    if (found.size() == 1)
        return found[0];
    if (found.empty()) {
        problem = "the calculator has no variable " + Printable(name);
    } else {
        problem = name + " is in more than one folder; name one of:";
        for (int i : found)
            problem += " " + Printable(rows[static_cast<size_t>(i)].caption);
    }
    return -1;
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
    WriteRaw(file.Stream(), TextVariableAsUtf8(store.ReadItem(records[0])));
    file.Commit();
    context.out << "Saved " << Printable(records[0].name) << " as UTF-8 text with LF line ends in " << path
                << ".\n";
    return 0;
}

}  // namespace

int RunGet(CliContext& context, const std::vector<std::string>& args)
{
    const GetArguments g = Parse(args);
    const FileComment fileComment = CommentFromUtf8(g.comment);
    if (g.commentGiven)
        for (const std::string& note : CommentNotes(fileComment))
            context.err << "linkwise-cli: " << note << '\n';
    const bool asText = IsTextTarget(g.output);
    if (asText && g.names.size() != 1)
        throw CliUsageError("a .txt target holds one text variable; name one");

    TTI92& link = context.Link().tti92();
    ConsoleTransferView view(link, context.out, context.err, ConsoleTransferView::IsTerminal(context.err));
    if (!FetchDirectoryList(link, view, ListViewId::ListView1))
        return 2;

    const auto rows = view.ListViewItems(ListViewId::ListView1);
    for (const std::string& name : g.names) {
        std::string problem;
        const int row = FindRow(rows, name, problem);
        if (row < 0) {
            context.err << "linkwise-cli: " << problem << '\n';
            return 2;
        }
        const ListItem& found = rows[static_cast<size_t>(row)];
        if (asText && found.data != ti92::kTextType) {
            context.err << "linkwise-cli: " << Printable(found.caption) << " is a "
                        << (found.subItems.empty() ? "non-text" : found.subItems[0])
                        << " variable, not a text: only a text variable can be saved as .txt\n";
            return 2;
        }
        view.SetSelected(ListViewId::ListView1, static_cast<size_t>(row), true);
    }
    view.VarListClear();
    for (const ListItem& row : view.ListViewItems(ListViewId::ListView1))
        if (row.selected)
            view.VarListAdd(row.caption);

    PrivateStoreFolder folder("linkwise-get");
    TempStore store(folder.Path());
    if (!ReceiveAll(link, view, store, false)) {
        // A refusal or damaged data is the calculator's "no"; an error ended the run.
        const bool error = !view.Memo().empty() && view.Memo().back().rfind(" An error", 0) == 0;
        context.err << "linkwise-cli: nothing saved\n";
        return error ? 2 : 1;
    }
    if (asText)
        return SaveAsText(context, store, g.output);
    const std::string comment =
        g.commentGiven ? fileComment.bytes : CommentProposal(QDateTime::currentDateTime());
    return SaveAs92g(view, store, g.storeFolders, g.output, false, true, comment) ? 0 : 2;
}
