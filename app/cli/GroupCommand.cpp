#include <unistd.h>

#include <QDateTime>
#include <filesystem>
#include <iostream>
#include <map>
#include <ostream>
#include <sstream>

#include "app/cli/CliCommands.h"
#include "app/cli/OutputTarget.h"
#include "app/cli/PrintableText.h"
#include "files/CommentPrompt.h"
#include "files/GroupFile.h"
#include "files/OwnFileNames.h"
#include "files/ReplacingFile.h"
#include "files/SafeFileName.h"
#include "link/Exceptions.h"

namespace fs = std::filesystem;

namespace {

// Every variable of the files, in order; a file that cannot be read stops
// the command before anything is written.
std::vector<FileVariable> VariablesOf(const std::vector<std::string>& files)
{
    std::vector<FileVariable> all;
    for (const std::string& path : files) {
        FileVariables file = ReadFileVariables(path);
        all.insert(all.end(), file.variables.begin(), file.variables.end());
    }
    return all;
}

// The folder ungroup writes into, made when missing.
fs::path OutputFolder(const std::string& option)
{
    std::error_code ec;
    fs::create_directories(option, ec);
    std::string why;
    if (!WritableFolder(option, why))
        throw EFileError("cannot save into " + option + ": " + why + (ec ? " (" + ec.message() + ")" : ""));
    return option;
}

// Where each variable goes, named as get --all names them (colliding names
// get a suffix, said in a note); a target that is no regular file is refused
// before any file is written. The folders are made here.
std::vector<fs::path> PlannedFiles(CliContext& context, const fs::path& folder,
                                   const std::vector<FileVariable>& variables)
{
    std::vector<IndexRecord> records;
    for (const FileVariable& v : variables) {
        IndexRecord record;
        record.name = (v.folder.empty() ? std::string("main") : v.folder) + "\\" + v.name;
        record.type = v.type;
        records.push_back(record);
    }
    const std::vector<OwnFileName> names = PlanOwnFileNames(records, true);
    std::vector<fs::path> files;
    for (size_t i = 0; i < names.size(); ++i) {
        const fs::path file = folder / names[i].path;
        if (names[i].path != names[i].natural)
            context.Note(PrintableUtf8(variables[i].FullName()) + " is saved as " + PrintableMessage(file.string()) +
                         ": another variable of the group has the file name " +
                         PrintableMessage(names[i].natural.string()) + " too");
        std::error_code ec;
        fs::create_directories(file.parent_path(), ec);
        if (ec)
            throw EFileError("cannot make the folder " + file.parent_path().string() + ": " + ec.message());
        ReplacingFile::CheckTarget(file.string());
        files.push_back(file);
    }
    return files;
}

}  // namespace

int RunGroup(CliContext& context, const ParsedOptions& args)
{
    const std::string output = args.Value("output");
    if (args.positional.empty())
        throw CliUsageError("names no file to group");
    if (output.empty())
        throw CliUsageError("needs -o FILE.92g or -o -");
    const OutputTarget target = OutputTarget::Check(output, isatty(STDOUT_FILENO) && &context.out == &std::cout);
    if (target.kind == OutputTarget::Kind::Folder)
        throw CliUsageError("writes one file: -o FILE.92g, not a folder");
    const std::string comment =
        args.Has("comment") ? CommentOption(context, args).bytes : CommentProposal(QDateTime::currentDateTime());

    const std::vector<FileVariable> variables = VariablesOf(args.positional);
    CheckGroupable(variables);
    if (target.kind == OutputTarget::Kind::StandardOutput) {
        std::ostringstream bytes;
        WriteVariableFile(bytes, variables, comment);
        context.out << bytes.str();
        context.out.flush();
        if (!context.out)
            throw EFileError("writing to standard output failed");
        return exitstatus::kSuccess;
    }
    SaveVariableFile(output, variables, comment);
    context.out << "Wrote " << variables.size() << (variables.size() == 1 ? " variable" : " variables") << " into "
                << output << ".\n";
    return exitstatus::kSuccess;
}

int RunUngroup(CliContext& context, const ParsedOptions& args)
{
    const std::string output = args.Value("output");
    if (args.positional.size() != 1)
        throw CliUsageError(args.positional.empty() ? "names no group file" : "takes one group file");
    if (output.empty() || output == "-")
        throw CliUsageError("needs -o DIR, the folder for the variables' files");
    const FileVariables file = ReadFileVariables(args.positional.front());
    const fs::path folder = OutputFolder(output);
    const std::vector<fs::path> files = PlannedFiles(context, folder, file.variables);
    for (size_t i = 0; i < files.size(); ++i) {
        SaveVariableFile(files[i].string(), {file.variables[i]}, file.comment);
        context.out << files[i].string() << '\n';
    }
    return exitstatus::kSuccess;
}
