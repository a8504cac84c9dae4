#include <unistd.h>

#include <QDateTime>
#include <iostream>
#include <ostream>

#include "app/cli/CliCommands.h"
#include "app/cli/CliLink.h"
#include "app/cli/ConsoleTransferView.h"
#include "app/cli/OutputTarget.h"
#include "app/cli/PrivateStoreFolder.h"
#include "files/CommentPrompt.h"
#include "files/FileFormat.h"
#include "files/SaveAs92g.h"
#include "files/TempStore.h"
#include "transfers/BackupReceive.h"

int RunBackup(CliContext& context, const ParsedOptions& args)
{
    const std::string output = args.Value("output");
    const bool commentGiven = args.Has("comment");
    if (!args.positional.empty())
        throw CliUsageError("takes no arguments, not '" + args.positional.front() + "'");
    if (output.empty())
        throw CliUsageError("needs -o FILE.92b, -o DIR or -o -");
    const OutputTarget target = OutputTarget::Check(output, isatty(STDOUT_FILENO) && &context.out == &std::cout);
    const FileComment fileComment = CommentOption(context, args);

    PrivateStoreFolder folder("linkwise-backup");
    TempStore store(folder.Path());
    Ti92Link& link = context.Link().tti92();
    const bool toStdout = target.kind == OutputTarget::Kind::StandardOutput;
    ConsoleTransferView view(link, context);
    if (!ReceiveBackup(link, view, store, false)) {
        context.Fail("no backup saved");
        return view.FailureStatus();
    }
    const std::string comment = commentGiven ? fileComment.bytes : CommentProposal(QDateTime::currentDateTime());
    const std::string stamp = QDateTime::currentDateTime().toString("yyyy-MM-dd-HHmmss").toStdString();
    const std::filesystem::path file =
        toStdout ? folder.Path() / "backup.92b" : target.FileFor("backup-" + stamp, "92b");
    if (!SaveAs92g(view, store, true, file.string(), true, !toStdout, comment))
        return exitstatus::kError;
    if (toStdout && !CopyToStream(file, context.out)) {
        context.Fail("writing to standard output failed");
        return exitstatus::kError;
    }
    context.Report(toStdout ? context.err : context.out,
                   "Saved the memory backup (" + std::to_string(store.DataSize()) + " bytes) to " +
                       (toStdout ? std::string("standard output") : file.string()));
    return exitstatus::kSuccess;
}
