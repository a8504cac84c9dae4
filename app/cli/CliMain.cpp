#include <cctype>
#include <iterator>
#include <ostream>
#include <utility>

#include "app/cli/CliCommands.h"
#include "app/cli/CliLink.h"
#include "app/cli/CliSettings.h"
#include "app/cli/ConsoleDialogs.h"
#include "app/cli/PrintableText.h"
#include "app/settings/IniSettingsStore.h"
#include "cmdline/WordValue.h"
#include "link/Exceptions.h"

namespace {

const char* const kExitStatusHelp = "Exit status:\n"
                                    "  0    success\n"
                                    "  1    the calculator is not ready, or it refused\n"
                                    "  2    an error: link, cable, file, damaged data; also a job only partly done\n"
                                    "  64   a usage error: unknown command or option, missing or bad value\n"
                                    "  130  ended by SIGINT (Ctrl-C), or cancelled at a question; 143 by SIGTERM\n";

bool AllDigits(const std::string& s)
{
    if (s.empty() || s.size() > 9)
        return false;
    for (unsigned char c : s)
        if (!std::isdigit(c))
            return false;
    return true;
}

std::string Synopsis(const CliCommand& c)
{
    std::string s = std::string("linkwise-cli ") + c.name;
    if (!c.options.empty())
        s += " [OPTION]...";
    if (*c.synopsis)
        s += std::string(" ") + c.synopsis;
    return s;
}

}  // namespace

const std::vector<OptionSpec>& GlobalOptionSpecs()
{
    static const std::vector<OptionSpec> optionTable = {
        {"cable", "grey|black|parallel|usb",
         "the grey serial graph-link cable (also 'serial'),\nthe black serial cable, "
         "the simple parallel cable\nor the USB cable (default: the window's setting)"},
        {"port", "N|DEVICE",
         "grey, black: port 1..8 or a serial device such as\n/dev/ttyUSB0; parallel: port 1..4 "
         "(/dev/parport0..3)\nor its device; usb: usb:BUS:ADDRESS (default: the\nwindow's setting; "
         "for usb the first cable)"},
        {"timeout", "MS", "time allowed for one byte (default 2000)"},
        {"progress", "auto|bar|lines|none",
         "progress of long jobs: a bar on a terminal, a line\nevery 10 % otherwise (default auto)"},
        {"q,quiet", "", "print nothing when all goes well: no progress, no\nnotes, no report of what was done"},
        {"v,verbose", "", "print every packet sent and received, and error classes"},
        {"h,help", "", "show this help and exit"},
        {"V,version", "", "show the version and exit"},
    };
    return optionTable;
}

namespace {

ProgressStyle ProgressStyleNamed(const std::string& v)
{
    static const std::pair<const char*, ProgressStyle> kStyles[] = {{"auto", ProgressStyle::Automatic},
                                                                    {"bar", ProgressStyle::Bar},
                                                                    {"lines", ProgressStyle::Lines},
                                                                    {"none", ProgressStyle::None}};
    return WordValue(v, kStyles, "unknown progress style '" + v + "' (auto, bar, lines or none)");
}

CliCable CableNamed(const std::string& v)
{
    static const std::pair<const char*, CliCable> kCables[] = {{"grey", CliCable::Serial},
                                                               {"serial", CliCable::Serial},
                                                               {"black", CliCable::Black},
                                                               {"parallel", CliCable::Parallel},
                                                               {"usb", CliCable::Usb}};
    return WordValue(v, kCables, "unknown cable '" + v + "' (grey, black, parallel or usb)");
}

int TimeoutMsNamed(const std::string& v)
{
    const int ms = AllDigits(v) ? std::stoi(v) : 0;
    if (ms < 1 || ms > 65535)
        throw CliUsageError("time-out '" + v + "' is not a number of milliseconds from 1 to 65535");
    return ms;
}

// A port number, a device, or for the parallel cable /dev/parportN. Checked
// again when only the cable changed, as its ports differ.
void ApplyPort(const std::string& portText, CliOptions& o)
{
    const int highest = o.cable == CliCable::Parallel ? 4 : 8;
    o.device.clear();
    if (AllDigits(portText)) {
        o.port = std::stoi(portText);
        if (o.port < 1 || o.port > highest)
            throw CliUsageError("port " + portText + " does not exist (1.." + std::to_string(highest) + ")");
    } else if (o.cable != CliCable::Parallel) {
        o.device = portText;
    } else if (portText.rfind("/dev/parport", 0) == 0 && AllDigits(portText.substr(12)) &&
               std::stoi(portText.substr(12)) < 4) {
        o.port = std::stoi(portText.substr(12)) + 1;
    } else {
        throw CliUsageError("the parallel cable takes a port 1..4 or /dev/parport0..3, not '" + portText + "'");
    }
    o.portGiven = true;
}

}  // namespace

void ApplyGlobalOptions(const ParsedOptions& p, CliOptions& o)
{
    if (p.Has("help"))
        o.help = true;
    if (p.Has("version"))
        o.version = true;
    if (p.Has("quiet"))
        o.quiet = true;
    if (p.Has("verbose"))
        o.verbose = true;
    if (p.Has("progress"))
        o.progress = ProgressStyleNamed(p.Value("progress"));
    if (p.Has("cable")) {
        o.cable = CableNamed(p.Value("cable"));
        o.cableGiven = true;
    }
    if (p.Has("timeout"))
        o.timeoutMs = TimeoutMsNamed(p.Value("timeout"));
    if (p.Has("port"))
        ApplyPort(p.Value("port"), o);
    else if (o.portGiven && p.Has("cable"))
        ApplyPort(o.device.empty() ? std::to_string(o.port) : o.device, o);
}

CliOptions ParseCliOptions(const std::vector<std::string>& argv)
{
    CliOptions o;
    ParsedOptions p = ParseOptions(GlobalOptionSpecs(), argv, true);
    ApplyGlobalOptions(p, o);
    if (!p.positional.empty()) {
        o.command = p.positional.front();
        o.args.assign(p.positional.begin() + 1, p.positional.end());
    }
    return o;
}

std::string CliHelp()
{
    std::string s = "Usage: linkwise-cli [OPTION]... COMMAND [ARG]...\n"
                    "Talk to a TI-92 calculator over a link cable.\n"
                    "\n"
                    "Options (also taken after the command):\n" +
                    OptionHelp(GlobalOptionSpecs()) +
                    "\n"
                    "Commands:\n";
    for (const CliCommand& c : CliCommandTable()) {
        const std::string head = c.name;
        s += "  " + head + std::string(head.size() < 14 ? 14 - head.size() : 1, ' ') + c.summary + '\n';
    }
    s += "  help COMMAND  show the options of COMMAND\n"
         "\n"
         "Options take their value as --opt VALUE or --opt=VALUE. Without --cable and\n"
         "--port the cable and port are the window's settings; serial port N is the\n"
         "device in the environment variable LINKWISE_COMN when set.\n"
         "\n";
    return s + kExitStatusHelp;
}

std::string CliCommandHelp(const CliCommand& c)
{
    std::string summary = c.summary;
    summary[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(summary[0])));
    std::string s = "Usage: " + Synopsis(c) + "\n" + summary + ".\n";
    if (!c.options.empty())
        s += "\nOptions:\n" + OptionHelp(c.options);
    if (*c.details)
        s += std::string("\n") + c.details;
    s += "\nGlobal options:\n" + OptionHelp(GlobalOptionSpecs()) + "\n" + kExitStatusHelp;
    return s;
}

CliContext::CliContext(const CliOptions& opts, std::ostream& o, std::ostream& e) : options(opts), out(o), err(e) {}

CliContext::~CliContext() = default;

CliLink& CliContext::Link()
{
    if (!fLink) {
        IniSettingsStore settings(CliSettingsPath());
        fLink = std::make_unique<CliLink>(WithWindowSettings(options, settings), err);
    }
    return *fLink;
}

std::string CliContext::Device() const
{
    return fLink ? fLink->Device() : std::string();
}

void CliContext::Fail(const std::string& what, const std::string& why) const
{
    // File and variable names inside may carry terminal escapes.
    err << "linkwise-cli: " << options.command << ": " << PrintableMessage(what + (why.empty() ? "" : ": " + why))
        << '\n';
}

void CliContext::Note(const std::string& text) const
{
    if (!options.quiet)
        err << "linkwise-cli: " << options.command << ": " << PrintableMessage(text) << '\n';
}

void CliContext::Report(std::ostream& stream, const std::string& text) const
{
    if (!options.quiet)
        stream << PrintableMessage(text) << '\n';
}

namespace {

// "help" alone, or "help COMMAND".
int RunHelpCommand(const CliOptions& options, std::ostream& out)
{
    if (options.args.empty()) {
        out << CliHelp();
        return exitstatus::kSuccess;
    }
    const CliCommand* c = FindCliCommand(options.args.front());
    if (!c || options.args.size() > 1)
        throw CliUsageError(c ? "'help' takes one command" : "unknown command '" + options.args.front() + "'");
    out << CliCommandHelp(*c);
    return exitstatus::kSuccess;
}

// The command's own options with the global ones among them, then the
// command itself; link errors are reported with the device they happened on.
int RunCommand(const CliCommand& c, CliOptions& options, std::ostream& out, std::ostream& err)
{
    std::vector<OptionSpec> optionTable = c.options;
    optionTable.insert(optionTable.end(), GlobalOptionSpecs().begin(), GlobalOptionSpecs().end());
    const ParsedOptions parsed = ParseOptions(optionTable, options.args);
    ApplyGlobalOptions(parsed, options);
    if (options.help) {
        out << CliCommandHelp(c);
        return exitstatus::kSuccess;
    }
    if (options.version) {
        out << VersionLine("linkwise-cli");
        return exitstatus::kSuccess;
    }
    CliContext context(options, out, err);
    try {
        const int status = c.run(context, parsed);
        return CliLink::InterruptStatus().value_or(status);
    } catch (const ELinkError& e) {
        const std::string device = context.Device();
        const std::string line = ConsoleErrorLine(e, options.verbose);
        context.Fail(device.empty() || line.find(device) != std::string::npos ? line : device + ": " + line);
        return CliLink::InterruptStatus().value_or(exitstatus::kError);
    }
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    CliOptions options;
    CliLink::ResetInterrupt();
    try {
        options = ParseCliOptions(args);
        if (options.version) {
            out << VersionLine("linkwise-cli");
            return exitstatus::kSuccess;
        }
        if (options.help && options.command.empty()) {
            out << CliHelp();
            return exitstatus::kSuccess;
        }
        if (options.command.empty())
            throw CliUsageError("no command given");
        if (options.command == "help")
            return RunHelpCommand(options, out);
        const CliCommand* c = FindCliCommand(options.command);
        if (!c) {
            const std::string name = options.command;
            options.command.clear();
            throw CliUsageError("unknown command '" + name + "'");
        }
        return RunCommand(*c, options, out, err);
    } catch (const UsageError& e) {
        const std::string command = options.command.empty() ? "" : options.command + ": ";
        err << "linkwise-cli: " << PrintableMessage(command + e.what()) << "\nTry 'linkwise-cli "
            << (command.empty() ? "--help" : "help " + options.command) << "' for more information.\n";
        return exitstatus::kUsage;
    } catch (const std::exception& e) {
        err << "linkwise-cli: " << options.command << ": " << PrintableMessage(ConsoleErrorLine(e, options.verbose))
            << '\n';
        return CliLink::InterruptStatus().value_or(exitstatus::kError);
    }
}
