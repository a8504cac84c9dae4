// rm, mv, cp, mkdir, rmdir, lock and unlock: changes the TI-92 has no link
// packets for, typed on its home screen (transfers/CalculatorChange.h).
#include <ostream>

#include "app/cli/CliCommands.h"
#include "app/cli/CliLink.h"
#include "app/cli/ConsoleTransferView.h"
#include "app/cli/PrintableText.h"
#include "files/TextConversion.h"
#include "transfers/CalculatorChange.h"

namespace {

std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

void CheckPart(const std::string& part, const std::string& given)
{
    if (!IsValidVariableName(part))
        throw CliUsageError("'" + given +
                            "' is not a valid TI-92 name: 1 to 8 letters, digits or _, "
                            "starting with a letter (as folder\\name, folder/name, or a name in main)");
}

// A variable as ls shows it: folder\name, folder/name, or a name in main;
// in lower case, as the calculator keeps names.
std::string VariableArgument(const std::string& given)
{
    const std::string name = Lower(given);
    const size_t slash = name.find_first_of("\\/");
    if (slash == std::string::npos) {
        CheckPart(name, given);
        return "main\\" + name;
    }
    CheckPart(name.substr(0, slash), given);
    CheckPart(name.substr(slash + 1), given);
    return name.substr(0, slash) + "\\" + name.substr(slash + 1);
}

std::string FolderArgument(const std::string& given)
{
    const std::string name = Lower(given);
    CheckPart(name, given);
    return name;
}

const std::vector<std::string>& Arguments(const ParsedOptions& args, size_t least, size_t most)
{
    if (args.positional.size() < least)
        throw CliUsageError(least == 1 ? "needs a name" : "needs " + std::to_string(least) + " names");
    if (args.positional.size() > most)
        throw CliUsageError("takes " + std::to_string(most) + " name" + (most == 1 ? "" : "s") + ", not '" +
                            args.positional[most] + "'");
    return args.positional;
}

// Runs the changes one after another: each result on its own line, a
// refusal does not stop the rest, a link error does.
int Run(CliContext& context, const std::vector<CalculatorChange>& changes)
{
    Ti92Link& link = context.Link().tti92();
    ConsoleTransferView view(link, context);
    int status = exitstatus::kSuccess;
    for (const CalculatorChange& change : changes) {
        const ChangeResult result = ApplyChange(link, view, change);
        if (!result.typed.empty())
            context.Note("typed: " + Printable(result.typed));
        switch (result.outcome) {
        case ChangeOutcome::Done:
            context.out << Printable(result.message) << "\n";
            break;
        case ChangeOutcome::Refused:
        case ChangeOutcome::NotAccepted:
            context.Fail(Printable(result.message));
            status = exitstatus::kRefused;
            break;
        case ChangeOutcome::LinkError:
        case ChangeOutcome::Aborted:
            context.Fail(Printable(result.message));
            return exitstatus::kError;
        }
    }
    return status;
}

// mv and cp: NEW naming a folder the calculator holds keeps the name.
int RunTwoNames(CliContext& context, const ParsedOptions& args, ChangeKind kind)
{
    const auto& names = Arguments(args, 2, 2);
    const std::string from = VariableArgument(names[0]);
    const std::string& given = names[1];
    const bool bare = given.find_first_of("\\/") == std::string::npos;
    std::string to = VariableArgument(given);

    if (bare) {
        Ti92Link& link = context.Link().tti92();
        ConsoleTransferView view(link, context);
        const auto entries = ReadDirectoryEntries(link, view);
        if (!entries)
            return view.FailureStatus();
        for (const DirectoryEntry& e : *entries)
            if (e.IsFolder() && e.name == Lower(given))
                to = e.name + "\\" + from.substr(from.find('\\') + 1);
    }
    CalculatorChange change{kind, from, to};
    const std::string toFolder = to.substr(0, to.find('\\'));
    // Into another folder under the same name: the calculator's own move.
    if (kind == ChangeKind::Rename && to.substr(to.find('\\')) == from.substr(from.find('\\')) &&
        toFolder != from.substr(0, from.find('\\')))
        change = {ChangeKind::Move, from, toFolder};
    return Run(context, {change});
}

int RunEach(CliContext& context, const ParsedOptions& args, ChangeKind kind)
{
    std::vector<CalculatorChange> changes;
    for (const std::string& name : Arguments(args, 1, args.positional.size()))
        changes.push_back({kind, VariableArgument(name), {}});
    return Run(context, changes);
}

int RunFolder(CliContext& context, const ParsedOptions& args, ChangeKind kind)
{
    return Run(context, {{kind, FolderArgument(Arguments(args, 1, 1)[0]), {}}});
}

}  // namespace

int RunRemove(CliContext& context, const ParsedOptions& args)
{
    return RunEach(context, args, ChangeKind::Delete);
}

int RunMove(CliContext& context, const ParsedOptions& args)
{
    return RunTwoNames(context, args, ChangeKind::Rename);
}

int RunCopy(CliContext& context, const ParsedOptions& args)
{
    return RunTwoNames(context, args, ChangeKind::Copy);
}

int RunMakeFolder(CliContext& context, const ParsedOptions& args)
{
    return RunFolder(context, args, ChangeKind::NewFolder);
}

int RunRemoveFolder(CliContext& context, const ParsedOptions& args)
{
    return RunFolder(context, args, ChangeKind::DeleteFolder);
}

int RunLock(CliContext& context, const ParsedOptions& args)
{
    return RunEach(context, args, ChangeKind::Lock);
}

int RunUnlock(CliContext& context, const ParsedOptions& args)
{
    return RunEach(context, args, ChangeKind::Unlock);
}
