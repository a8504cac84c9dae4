#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <ostream>

#include "app/cli/CliCommands.h"
#include "app/cli/ConsoleDialogs.h"
#include "app/cli/PrintableText.h"
#include "app/cli/PrivateStoreFolder.h"
#include "files/CommentPrompt.h"
#include "files/TempStore.h"
#include "files/TextConversion.h"
#include "link/Exceptions.h"
#include "link/TransferView.h"

namespace {

// Report lines are kept for the caller, error dialogs go to the error stream; the
// window's bars and labels have no place on a terminal.
class ConvertView : public TransferView {
public:
    explicit ConvertView(std::ostream& err) : fErr(err) {}
    void ShowStatus(const std::string&) override {}
    void TransferMode(bool) override {}
    void ClickNextButton() override {}
    void ProcessMessages() override {}
    void SetLabel(LabelId, const std::string&) override {}
    std::string Label(LabelId) const override { return {}; }
    void SetBarMax(ProgressBarId bar, int max) override { fMax[static_cast<int>(bar)] = max; }
    void SetBarPosition(ProgressBarId bar, int pos) override { fPos[static_cast<int>(bar)] = pos; }
    int BarMax(ProgressBarId bar) const override { return fMax[static_cast<int>(bar)]; }
    int BarPosition(ProgressBarId bar) const override { return fPos[static_cast<int>(bar)]; }
    void VarListClear() override {}
    void VarListAdd(const std::string&) override {}
    int VarListCount() const override { return 0; }
    void VarListSelect(int) override {}
    int VarListSelected() const override { return -1; }
    void ListViewClear(ListViewId) override {}
    void ListViewAdd(ListViewId, const ListItem&) override {}
    std::vector<ListItem> ListViewItems(ListViewId) const override { return {}; }
    // The lines name the files, whose names may carry terminal escapes.
    void StatusMemoAdd(const std::string& line) override { lines.push_back(PrintableMessage(line)); }
    void ErrorDialog(const std::string& text) override
    {
        fErr << "linkwise-cli: convert: " << PrintableMessage(ConsoleDialogLine(text, false)) << '\n';
    }

    std::vector<std::string> lines;

private:
    std::ostream& fErr;
    int fMax[8] = {};
    int fPos[8] = {};
};

// The file beside the text with its extension .92t: notes.txt gives notes.92t.
std::string TargetBeside(const std::string& source)
{
    return std::filesystem::path(source).replace_extension(".92t").string();
}

}  // namespace

int RunConvert(CliContext& context, const ParsedOptions& args)
{
    const bool commentGiven = args.Has("comment");
    if (args.positional.size() > 1)
        throw CliUsageError("takes one text file");
    const std::string source = args.positional.empty() ? std::string() : args.positional.front();
    if (source.empty())
        throw CliUsageError("needs a text file");
    const std::string target = args.Has("output") ? args.Value("output") : TargetBeside(source);
    if (target.empty())
        throw CliUsageError("needs -o FILE.92t");
    // Only a file the user named is replaced.
    std::error_code ec;
    if (!args.Has("output") && std::filesystem::exists(std::filesystem::symlink_status(target, ec))) {
        context.Fail(target, "the file exists already; nothing was converted (name it with -o to replace it)");
        return exitstatus::kError;
    }
    const TextVariableNaming naming = NamingOptions(args);
    const unsigned tabSize = TabSizeOption(args);
    const FileComment fileComment = CommentOption(context, args);

    PrivateStoreFolder folder("linkwise-convert");
    TempStore store(folder.Path());
    ConvertView view(context.err);
    // Without --comment the convert task's proposal is taken, as nobody can answer.
    ConsoleDialogs dialogs(context.err);
    bool converted = Txtto92g(view, dialogs, store, true, source, target, false,
                              commentGiven ? std::optional(fileComment.bytes) : std::nullopt, naming, tabSize);
    for (const std::string& line : view.lines) {
        if (!converted) {
            context.Fail(WithoutErrorClass(line, context.options.verbose));
            continue;
        }
        // "x.txt was successfully converted to x.92t. N characters ...": the note after the first sentence.
        const size_t said = line.find(". ", line.find(" was successfully converted to "));
        context.Report("Converted " + source + " to " + target + " as the text variable " +
                       Printable(TextStoredName(source, naming)));
        if (said != std::string::npos)
            context.Note(line.substr(said + 2));
    }
    return converted ? exitstatus::kSuccess : exitstatus::kError;
}
