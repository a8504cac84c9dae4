#include <QDateTime>
#include <ostream>

#include "app/cli/CliCommands.h"
#include "app/cli/CliLink.h"
#include "app/cli/ConsoleTransferView.h"
#include "app/cli/PrivateStoreFolder.h"
#include "files/CommentPrompt.h"
#include "files/FileFormat.h"
#include "files/SaveAs92g.h"
#include "files/TempStore.h"
#include "transfers/BackupReceive.h"

int RunBackup(CliContext& context, const std::vector<std::string>& args)
{
    std::string output, comment;
    bool commentGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" || args[i] == "--output") {
            output = OptionValue(args, i);
        } else if (args[i] == "--comment") {
            comment = OptionValue(args, i);
            commentGiven = true;
        } else {
            throw CliUsageError("unknown argument '" + args[i] + "' for 'backup'");
        }
    }
    if (output.empty())
        throw CliUsageError("usage: backup -o FILE.92b [--comment TEXT]");
    const FileComment fileComment = CommentFromUtf8(comment);
    for (const std::string& note : CommentNotes(fileComment))
        context.err << "linkwise-cli: " << note << '\n';

    TTI92& link = context.Link().tti92();
    ConsoleTransferView view(link, context.out, context.err, ConsoleTransferView::IsTerminal(context.err));
    PrivateStoreFolder folder("linkwise-backup");
    TempStore store(folder.Path());
    if (!ReceiveBackup(link, view, store, false)) {
        context.err << "linkwise-cli: no backup saved\n";
        return view.LastError().find("Errorclass: ECalculatorError") != std::string::npos ? 1 : 2;
    }
    context.out << view.Label(LabelId::trLabel) << '\n';
    comment = commentGiven ? fileComment.bytes : CommentProposal(QDateTime::currentDateTime());
    return SaveAs92g(view, store, true, output, true, true, comment) ? 0 : 2;
}
