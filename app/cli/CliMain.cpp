#include <cctype>
#include <ostream>

#include "app/cli/CliCommands.h"
#include "app/cli/CliLink.h"
#include "app/cli/ConsoleDialogs.h"
#include "link/Exceptions.h"

#ifndef LINKWISE_VERSION
#define LINKWISE_VERSION "unknown"
#endif

namespace {

bool AllDigits(const std::string& s)
{
    if (s.empty() || s.size() > 9)
        return false;
    for (unsigned char c : s)
        if (!std::isdigit(c))
            return false;
    return true;
}

void PrintHelp(std::ostream& out)
{
    out << "Usage: linkwise-cli [OPTION]... COMMAND [ARG]...\n"
           "Talk to a TI-92 calculator over a link cable.\n"
           "\n"
           "Options:\n"
           "  --cable serial|parallel  the serial graph-link cable (default) or the\n"
           "                           simple parallel cable\n"
           "  --port N|DEVICE          serial: port 1..8 (default 1) or a device path such\n"
           "                           as /dev/ttyUSB0; parallel: port 1..4 at 0x378,\n"
           "                           0x278, 0x3BC, 0x2BC (/dev/parport0..3)\n"
           "  --timeout MS             time allowed for one byte (default 2000)\n"
           "  -h, --help               show this help and exit\n"
           "  -V, --version            show the version and exit\n"
           "\n"
           "Commands:\n";
    for (const CliCommand& c : CliCommandTable()) {
        std::string head = std::string(c.name) + (*c.synopsis ? std::string(" ") + c.synopsis : "");
        out << "  " << head;
        out << std::string(head.size() < 23 ? 23 - head.size() : 1, ' ') << c.summary << '\n';
    }
    out << "\n"
           "Serial port N is the device in the environment variable LINKWISE_COMN when\n"
           "set, else /dev/ttyS(N-1).\n"
           "\n"
           "Exit status: 0 success, 1 the calculator said no, 2 usage or link error.\n";
}

}  // namespace

CliOptions ParseCliOptions(const std::vector<std::string>& argv)
{
    CliOptions o;
    bool portGiven = false;
    std::string portText;
    size_t i = 0;
    auto value = [&](const std::string& arg, const std::string& name, std::string& inlineValue) {
        if (!inlineValue.empty())
            return inlineValue;
        if (i + 1 >= argv.size())
            throw CliUsageError("option '" + name + "' needs a value");
        (void)arg;
        return argv[++i];
    };
    for (; i < argv.size(); ++i) {
        const std::string& arg = argv[i];
        if (arg.size() < 2 || arg[0] != '-') {
            o.command = arg;
            o.args.assign(argv.begin() + static_cast<long>(i) + 1, argv.end());
            break;
        }
        std::string name = arg, inlineValue;
        if (auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = arg.substr(0, eq);
            inlineValue = arg.substr(eq + 1);
            if (inlineValue.empty())
                throw CliUsageError("option '" + name + "' needs a value");
        }
        if (name == "-h" || name == "--help") {
            o.help = true;
        } else if (name == "-V" || name == "--version") {
            o.version = true;
        } else if (name == "--cable") {
            std::string v = value(arg, name, inlineValue);
            if (v == "serial")
                o.cable = CliCable::Serial;
            else if (v == "parallel")
                o.cable = CliCable::Parallel;
            else
                throw CliUsageError("unknown cable '" + v + "' (serial or parallel)");
        } else if (name == "--port") {
            portText = value(arg, name, inlineValue);
            portGiven = true;
        } else if (name == "--timeout") {
            std::string v = value(arg, name, inlineValue);
            int ms = AllDigits(v) ? std::stoi(v) : 0;
            if (ms < 1 || ms > 65535)
                throw CliUsageError("time-out '" + v + "' is not a number of milliseconds from 1 to 65535");
            o.timeoutMs = ms;
        } else if (name == "--") {
            if (i + 1 < argv.size()) {
                o.command = argv[i + 1];
                o.args.assign(argv.begin() + static_cast<long>(i) + 2, argv.end());
            }
            break;
        } else {
            throw CliUsageError("unknown option '" + arg + "'");
        }
    }

    if (portGiven) {
        const int highest = o.cable == CliCable::Serial ? 8 : 4;
        if (AllDigits(portText)) {
            o.port = std::stoi(portText);
            if (o.port < 1 || o.port > highest)
                throw CliUsageError("port " + portText + " does not exist (1.." + std::to_string(highest) + ")");
        } else if (o.cable == CliCable::Serial) {
            o.device = portText;
        } else {
            throw CliUsageError("the parallel cable takes a port number 1..4, not '" + portText + "'");
        }
    }
    for (const std::string& a : o.args)
        if (a == "--help" || a == "-h")
            o.help = true;
    return o;
}

CliContext::CliContext(const CliOptions& opts, std::ostream& o, std::ostream& e)
    : options(opts), out(o), err(e)
{
}

CliContext::~CliContext() = default;

CliLink& CliContext::Link()
{
    if (!fLink)
        fLink = std::make_unique<CliLink>(options, err);
    return *fLink;
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    CliOptions options;
    try {
        options = ParseCliOptions(args);
        if (options.help) {
            PrintHelp(out);
            return 0;
        }
        if (options.version) {
            out << "linkwise-cli (Linkwise) " << LINKWISE_VERSION << '\n';
            return 0;
        }
        if (options.command.empty())
            throw CliUsageError("no command given");
        for (const CliCommand& c : CliCommandTable()) {
            if (options.command != c.name)
                continue;
            CliContext context(options, out, err);
            return c.run(context, options.args);
        }
        throw CliUsageError("unknown command '" + options.command + "'");
    } catch (const CliUsageError& e) {
        err << "linkwise-cli: " << e.what() << "\nTry 'linkwise-cli --help' for more information.\n";
        return 2;
    } catch (const std::exception& e) {
        err << ErrorClassName(e) << ": " << ConsoleText(e.what()) << '\n';
        return 2;
    }
}
