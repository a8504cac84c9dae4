#pragma once
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "cmdline/CommandLine.h"

// The command-line front end: global options, then one command with its own
// options and arguments (the global options are taken after the command too):
//
//   linkwise-cli [--cable grey|black|parallel|usb] [--port N|DEVICE] [...] COMMAND [OPTIONS] [ARGS...]
//
// Adding a command:
//   1. write app/cli/<Name>Command.cpp with
//        int Run<Name>(CliContext& context, const ParsedOptions& args);
//      that returns an exit status of namespace exitstatus;
//   2. declare it below and add one row, with its options, to the table in
//      CliCommands.cpp: the parser, `--help`, `help COMMAND`, the man page and
//      the completion all come from that row.
// Throw CliUsageError for bad arguments; let link, calculator and file errors
// (ELinkwiseError and the like) pass: the dispatcher prints them as
// "linkwise-cli: COMMAND: what failed: why" and exits with 2. Use
// context.Link() to talk to the calculator: it opens the cable the options
// (or the window's settings) chose, once. Print results on context.out,
// progress and warnings on context.err.

// Serial is the grey graph-link cable ("--cable serial" still names it).
enum class CliCable { Serial, Parallel, Black, Usb };
enum class ProgressStyle { Automatic, None, Bar, Lines };

struct CliOptions {
    CliCable cable = CliCable::Serial;
    int port = 1;        // COM1..COM8 or LPT1..LPT4
    std::string device;  // a device path given with --port (usb:BUS:ADDRESS for the USB cable)
    bool cableGiven = false;
    bool portGiven = false;
    int timeoutMs = 2000;  // time allowed for one byte
    bool quiet = false;
    bool verbose = false;
    ProgressStyle progress = ProgressStyle::Automatic;
    bool help = false;
    bool version = false;
    std::string command;
    std::vector<std::string> args;  // the command's own, unparsed
};

using CliUsageError = UsageError;

// The global options, for the help and for every command's parser.
const std::vector<OptionSpec>& GlobalOptionSpecs();

// Parses the global options up to and including the command name; the rest
// are the command's own arguments. Throws CliUsageError.
CliOptions ParseCliOptions(const std::vector<std::string>& argv);
// Takes the global options found among a command's arguments into `options`.
void ApplyGlobalOptions(const ParsedOptions& parsed, CliOptions& options);

// The value of --name or --folder in lower case, as the calculator keeps
// names; throws CliUsageError when it is no valid TI-92 name.
std::string CheckedVariableName(const std::string& option, const std::string& value);

class CliLink;
struct FileComment;
struct TextVariableNaming;

struct CliContext {
    CliContext(const CliOptions& options, std::ostream& out, std::ostream& err);
    ~CliContext();
    // The link to the calculator, built and opened on first use; throws
    // ELinkError when the cable cannot be opened.
    CliLink& Link();
    // "linkwise-cli: COMMAND: what: why" on the error stream.
    void Fail(const std::string& what, const std::string& why = {}) const;
    // The device of the open link, or empty.
    std::string Device() const;
    // A note on the error stream, unless --quiet.
    void Note(const std::string& text) const;
    // What a job did ("Saved main\notes to notes.92t"), on `stream` (the
    // output unless it carries the data), unless --quiet.
    void Report(const std::string& text) const { Report(out, text); }
    void Report(std::ostream& stream, const std::string& text) const;

    const CliOptions& options;
    std::ostream& out;
    std::ostream& err;

private:
    std::unique_ptr<CliLink> fLink;
};

struct CliCommand {
    const char* name;
    const char* synopsis;  // arguments, for the help text
    const char* summary;   // one line
    std::vector<OptionSpec> options;
    std::function<int(CliContext&, const ParsedOptions&)> run;
    const char* details = "";  // more help, after the options
};

// --name and --folder for a text file sent or converted, each checked with
// CheckedVariableName.
TextVariableNaming NamingOptions(const ParsedOptions& args);
// --tab-size: columns between tab stops, 1 to 32.
unsigned TabSizeOption(const ParsedOptions& args);
// --comment in the calculator's characters; a note, unless --quiet, for what
// it could not keep.
FileComment CommentOption(const CliContext& context, const ParsedOptions& args);

const std::vector<CliCommand>& CliCommandTable();
const CliCommand* FindCliCommand(const std::string& name);

// The help of the whole program, or of one command.
std::string CliHelp();
std::string CliCommandHelp(const CliCommand& command);

// The whole program: arguments without the program name; returns the exit status.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Commands.
int RunReady(CliContext& context, const ParsedOptions& args);
int RunList(CliContext& context, const ParsedOptions& args);
int RunGet(CliContext& context, const ParsedOptions& args);
int RunInfo(CliContext& context, const ParsedOptions& args);
int RunConvert(CliContext& context, const ParsedOptions& args);
int RunSend(CliContext& context, const ParsedOptions& args);
int RunBackup(CliContext& context, const ParsedOptions& args);
int RunRomVersion(CliContext& context, const ParsedOptions& args);
int RunScreenshot(CliContext& context, const ParsedOptions& args);
int RunKeys(CliContext& context, const ParsedOptions& args);
int RunView(CliContext& context, const ParsedOptions& args);
int RunPorts(CliContext& context, const ParsedOptions& args);
int RunDoctor(CliContext& context, const ParsedOptions& args);
// rm, mv, cp, mkdir, rmdir, lock, unlock (CalculatorChangeCommands.cpp).
int RunRemove(CliContext& context, const ParsedOptions& args);
int RunMove(CliContext& context, const ParsedOptions& args);
int RunCopy(CliContext& context, const ParsedOptions& args);
int RunMakeFolder(CliContext& context, const ParsedOptions& args);
int RunRemoveFolder(CliContext& context, const ParsedOptions& args);
int RunLock(CliContext& context, const ParsedOptions& args);
int RunUnlock(CliContext& context, const ParsedOptions& args);
int RunGroup(CliContext& context, const ParsedOptions& args);
int RunUngroup(CliContext& context, const ParsedOptions& args);
