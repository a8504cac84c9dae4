#include <filesystem>
#include <ostream>

#include "app/cli/CliCommands.h"
#include "app/cli/CliLink.h"
#include "app/cli/ConsoleDialogs.h"
#include "app/cli/ConsoleTransferView.h"
#include "files/ByteSource.h"
#include "files/FileFormat.h"
#include "link/Exceptions.h"
#include "transfers/BackupSend.h"
#include "transfers/VariableSend.h"

namespace {

struct FileToSend {
    std::string path;
    bool backup = false;
    uint64_t size = 0;
};

std::string Name(const std::string& path)
{
    return std::filesystem::path(path).filename().string();
}

// A calculator's refusal is its "no"; anything else is an error.
int ExitFor(const std::string& errorClass)
{
    return errorClass == "ECalculatorError" ? 1 : 2;
}

}  // namespace

int RunSend(CliContext& context, const std::vector<std::string>& args)
{
    std::vector<std::string> paths;
    bool yes = false;
    for (const std::string& a : args) {
        if (a == "--yes" || a == "-y")
            yes = true;
        else if (a.size() > 1 && a[0] == '-')
            throw CliUsageError("unknown option '" + a + "' for 'send'");
        else
            paths.push_back(a);
    }
    if (paths.empty())
        throw CliUsageError("usage: send FILE... [--yes]");

    // Every file is checked before the first byte goes out.
    std::vector<FileToSend> files;
    uint64_t total = 0;
    for (const std::string& path : paths) {
        const DiskBytes bytes(path);
        const FileShape shape = ShapeOf(bytes);
        if (shape == FileShape::NotVariableFile) {
            context.err << "linkwise-cli: " << path << " is not a TI-92 variable file; nothing was sent\n";
            return 2;
        }
        if (shape == FileShape::Backup && !yes) {
            context.err << "linkwise-cli: " << path
                        << " is a memory backup: sending it replaces the calculator's whole memory.\n"
                           "Add --yes to send it; nothing was sent.\n";
            return 2;
        }
        files.push_back({path, shape == FileShape::Backup, bytes.Size()});
        total += bytes.Size();
    }

    TTI92& link = context.Link().tti92();
    ConsoleTransferView view(link, context.out, context.err, ConsoleTransferView::IsTerminal(context.err));
    view.TransferMode(true);
    view.SetBarMax(ProgressBarId::totBar, static_cast<int>(total));
    uint64_t done = 0;
    size_t sent = 0;
    int status = 0;
    for (const FileToSend& f : files) {
        view.SetBarPosition(ProgressBarId::totBar, static_cast<int>(done));
        if (f.backup) {
            if (!SendBackup(link, view, f.path)) {
                const bool refused = view.LastError().find("Errorclass: ECalculatorError") != std::string::npos;
                status = refused ? 1 : 2;
            }
        } else {
            try {
                Send92g(link, view, f.path);
            } catch (const std::exception& e) {
                context.err << ErrorClassName(e) << ": " << ConsoleText(e.what()) << '\n';
                status = ExitFor(ErrorClassName(e));
            }
        }
        if (status != 0) {
            context.err << "linkwise-cli: " << Name(f.path) << " was not sent; " << sent << " of " << files.size()
                        << " file(s) were sent\n";
            break;
        }
        ++sent;
        done += f.size;
    }
    view.TransferMode(false);
    return status;
}
