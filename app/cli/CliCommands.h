#pragma once
#include <functional>
#include <iosfwd>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// The command-line front end: global options, then one command and its own
// arguments:
//
//   linkwise-cli [--cable serial|parallel] [--port N|DEVICE] [--timeout MS] COMMAND [ARGS...]
//
// Adding a command:
//   1. write app/cli/<Name>Command.cpp with
//        int Run<Name>(CliContext& context, const std::vector<std::string>& args);
//      that returns the exit status (0 success, 1 a plain "no"/nothing done,
//      2 usage or link error);
//   2. declare it below and add one row to the table in CliCommands.cpp.
// Throw CliUsageError for bad arguments; let link, calculator and file errors
// (ELinkwiseError and the like) pass: the dispatcher prints them as
// "<ErrorClass>: <message>" and exits with 2. Use context.Link() to talk to
// the calculator: it opens the cable the global options chose, once.
// Print results on context.out, progress and warnings on context.err.

enum class CliCable { Serial, Parallel };

struct CliOptions {
    CliCable cable = CliCable::Serial;
    int port = 1;               // COM1..COM8 or LPT1..LPT4
    std::string device;         // a device path given with --port, for the serial cable
    int timeoutMs = 2000;       // time allowed for one byte
    bool help = false;
    bool version = false;
    std::string command;
    std::vector<std::string> args;
};

class CliUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The value that follows the option args[i]; moves i on to it. Throws
// CliUsageError when the option is the last argument.
const std::string& OptionValue(const std::vector<std::string>& args, size_t& i);

// The value of --name or --folder in lower case, as the calculator keeps
// names; throws CliUsageError when it is no valid TI-92 name.
std::string CheckedVariableName(const std::string& option, const std::string& value);

// Parses everything up to and including the command name; the rest are the
// command's own arguments. Throws CliUsageError.
CliOptions ParseCliOptions(const std::vector<std::string>& argv);

class CliLink;

struct CliContext {
    CliContext(const CliOptions& options, std::ostream& out, std::ostream& err);
    ~CliContext();
    // The link to the calculator, built and opened on first use; throws
    // ELinkError when the cable cannot be opened.
    CliLink& Link();

    const CliOptions& options;
    std::ostream& out;
    std::ostream& err;

private:
    std::unique_ptr<CliLink> fLink;
};

struct CliCommand {
    const char* name;
    const char* synopsis;      // arguments, for the help text
    const char* summary;       // one line
    std::function<int(CliContext&, const std::vector<std::string>&)> run;
};

const std::vector<CliCommand>& CliCommandTable();

// The whole program: arguments without the program name; returns the exit status.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Commands.
int RunReady(CliContext& context, const std::vector<std::string>& args);
int RunList(CliContext& context, const std::vector<std::string>& args);
int RunGet(CliContext& context, const std::vector<std::string>& args);
int RunInfo(CliContext& context, const std::vector<std::string>& args);
int RunConvert(CliContext& context, const std::vector<std::string>& args);
int RunSend(CliContext& context, const std::vector<std::string>& args);
int RunBackup(CliContext& context, const std::vector<std::string>& args);
int RunRomVersion(CliContext& context, const std::vector<std::string>& args);
int RunScreenshot(CliContext& context, const std::vector<std::string>& args);
int RunKeys(CliContext& context, const std::vector<std::string>& args);
int RunView(CliContext& context, const std::vector<std::string>& args);
