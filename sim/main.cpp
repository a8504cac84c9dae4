// linkwise-virtual-ti92: serves a virtual TI-92 on a pseudo-terminal so the
// program can talk to it through its real serial code.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "cmdline/CommandLine.h"
#include "link/CalculatorKeys.h"
#include "sim/CalculatorLink.h"
#include "sim/ServerOptions.h"
#include "sim/SimPtyServer.h"
#include "sim/VirtualTI92.h"

namespace {

volatile int gStop = 0;

void OnSignal(int)
{
    gStop = 1;
}

std::string Usage()
{
    return "Usage: linkwise-virtual-ti92 [OPTION]...\n"
           "Serve a virtual TI-92 calculator on a pseudo-terminal.\n"
           "\n"
           "Options (--opt VALUE or --opt=VALUE):\n" +
           OptionHelp(VirtualTI92Options()) +
           "\n"
           "Prints LINKWISE_COMn=PATH on stdout, then serves until interrupted.\n"
           "\n"
           "Exit status: 0 after SIGINT or SIGTERM, 1 when the pseudo-terminal or its\n"
           "link cannot be made, 2 for a content file it cannot load, 64 for a bad\n"
           "command line.\n";
}

std::string DefaultLink()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat st {};
    if (runtime && *runtime && stat(runtime, &st) == 0 && S_ISDIR(st.st_mode))
        return std::string(runtime) + "/linkwise-ti92";
    return "/tmp/linkwise-ti92";
}

// Points `link` at `target`, replacing an older link but never a file.
bool MakeLink(const std::string& link, const std::string& target)
{
    struct stat st {};
    if (lstat(link.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
        std::fprintf(stderr, "linkwise-virtual-ti92: %s exists and is not a symbolic link\n", link.c_str());
        return false;
    }
    const std::string temp = link + ".new" + std::to_string(getpid());
    unlink(temp.c_str());
    if (symlink(target.c_str(), temp.c_str()) != 0 || rename(temp.c_str(), link.c_str()) != 0) {
        std::fprintf(stderr, "linkwise-virtual-ti92: cannot create %s: %s\n", link.c_str(), std::strerror(errno));
        unlink(temp.c_str());
        return false;
    }
    return true;
}

void RemoveLink(const std::string& link, const std::string& target)
{
    char buf[4096];
    ssize_t n = readlink(link.c_str(), buf, sizeof buf - 1);
    if (n > 0 && std::string(buf, static_cast<size_t>(n)) == target)
        unlink(link.c_str());
}

// FOLDER\NAME:TYPE:SIZE; the data are printable and differ from byte to byte.
bool AddGeneratedVariable(VirtualTI92& calc, const std::string& text)
{
    const size_t c2 = text.rfind(':');
    const size_t c1 = c2 == std::string::npos || c2 == 0 ? std::string::npos : text.rfind(':', c2 - 1);
    if (c1 == std::string::npos)
        return false;
    std::string folder, name;
    calc.SplitName(text.substr(0, c1), folder, name);
    char* end = nullptr;
    const std::string typeText = text.substr(c1 + 1, c2 - c1 - 1);
    const long type = std::strtol(typeText.c_str(), &end, 16);
    if (typeText.empty() || *end || type < 0 || type > 0x1F)
        return false;
    const std::string sizeText = text.substr(c2 + 1);
    const long size = std::strtol(sizeText.c_str(), &end, 10);
    if (sizeText.empty() || *end || size < 0 || size > 65529 || name.empty() || name.size() > 8 || folder.size() > 8)
        return false;
    std::string data;
    for (long i = 0; i < size; ++i)
        data += static_cast<char>(' ' + i % 95);
    calc.AddVariable(folder, name, static_cast<uint8_t>(type), data);
    return true;
}

bool SetFault(SimFaults& f, const std::string& name)
{
    if (name == "silent")
        f.silent = true;
    else if (name == "refuse-ready")
        f.refuseReady = true;
    else if (name == "refuse-requests")
        f.refuseAllRequests = true;
    else if (name == "refuse-variables")
        f.refuseVariables = true;
    else if (name == "garbage")
        f.garbageBeforeAck = std::string("\x00\xFF\x13\x11", 4);
    else if (name == "damage-checksums")
        f.damageAllDataChecksums = true;
    else if (name == "damage-screenshot")
        f.damageScreenshot = true;
    else if (name.rfind("refuse-request=", 0) == 0 && std::atoi(name.c_str() + 15) > 0)
        f.refuseRequests.insert(std::atoi(name.c_str() + 15));
    else if (name.rfind("damage-request=", 0) == 0 && std::atoi(name.c_str() + 15) > 0)
        f.damageDataChecksum.insert(std::atoi(name.c_str() + 15));
    else
        return false;
    return true;
}

// " (a)" for a printable character, " (ENTER)" for a named key, else nothing.
std::string KeyDescription(uint16_t code)
{
    if (const char* name = CalcKey::NameOf(code))
        return std::string(" (") + name + ")";
    if (code > 32 && code < 127)
        return std::string(" (") + static_cast<char>(code) + ")";
    return code == 32 ? " (space)" : "";
}

// A percentage from 0 to 100, "%" optional, as parts per million.
bool ParsePercent(const std::string& text, uint32_t& perMillion)
{
    std::string number = text;
    if (!number.empty() && number.back() == '%')
        number.pop_back();
    char* end = nullptr;
    errno = 0;
    const double percent = std::strtod(number.c_str(), &end);
    if (number.empty() || errno != 0 || !end || *end != '\0' || !(percent >= 0 && percent <= 100))
        return false;
    perMillion = static_cast<uint32_t>(percent * 10000 + 0.5);
    return true;
}

bool ParseInt(const char* text, long low, long high, long& value)
{
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text, &end, 10);
    return errno == 0 && end && *end == '\0' && end != text && value >= low && value <= high;
}

bool ParseHexByte(const std::string& text, long& value)
{
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text.c_str(), &end, 16);
    return errno == 0 && !text.empty() && end && *end == '\0' && value >= 0 && value <= 0xFF;
}

// Everything the command line chose.
struct SimOptions {
    std::string linkPath = DefaultLink();
    long port = 1;
    long baud = 0;
    SimPacedLine::Reader reader = SimPacedLine::Reader::Uart;
    bool verbose = false;
    std::string rom;
    std::vector<std::string> files;
    std::vector<std::string> generated;
    std::vector<std::string> faults;
    uint32_t damagePerMillion = 0;
    long seed = 1;
    std::map<long, uint8_t> replaced;
};

int Bad(const char* text)
{
    std::fprintf(stderr, "linkwise-virtual-ti92: %s\n", text);
    return exitstatus::kUsage;
}

// The values of the options; an exit status when the program ends here
// (help, version, a bad command line).
std::optional<int> ReadValues(const ParsedOptions& options, SimOptions& o)
{
    o.linkPath = options.Value("link", o.linkPath);
    if (options.Has("port") && !ParseInt(options.Value("port").c_str(), 1, 8, o.port))
        return Bad("--port takes a number from 1 to 8");
    if (options.Has("baud") && !ParseInt(options.Value("baud").c_str(), 0, 4000000, o.baud))
        return Bad("--baud takes a positive number");
    if (options.Has("reader")) {
        const std::string kind = options.Value("reader");
        if (kind == "uart")
            o.reader = SimPacedLine::Reader::Uart;
        else if (kind == "pty")
            o.reader = SimPacedLine::Reader::Pty;
        else if (kind == "burst")
            o.reader = SimPacedLine::Reader::Burst;
        else
            return Bad("--reader takes uart, pty or burst");
    }
    o.files = options.Values("content");
    o.generated = options.Values("variable");
    o.faults = options.Values("fault");
    if (options.Has("damage") && !ParsePercent(options.Value("damage"), o.damagePerMillion))
        return Bad("--damage takes a percentage from 0 to 100");
    if (options.Has("seed") && !ParseInt(options.Value("seed").c_str(), 0, 4294967295L, o.seed))
        return Bad("--seed takes a number from 0 to 4294967295");
    for (const std::string& replacement : options.Values("replace")) {
        const auto colon = replacement.find(':');
        long position = 0, byte = 0;
        if (colon == std::string::npos || !ParseInt(replacement.substr(0, colon).c_str(), 0, 2147483647L, position) ||
            !ParseHexByte(replacement.substr(colon + 1), byte))
            return Bad("--replace takes POS:HEX, e.g. 57:92");
        o.replaced[position] = static_cast<uint8_t>(byte);
    }
    o.rom = options.Value("rom");
    o.verbose = options.Has("verbose");
    return std::nullopt;
}

std::optional<int> ReadOptions(int argc, char** argv, SimOptions& o)
{
    ParsedOptions options;
    try {
        options = ParseOptions(VirtualTI92Options(), std::vector<std::string>(argv + 1, argv + argc));
        if (!options.positional.empty())
            throw UsageError("takes no arguments, not '" + options.positional.front() + "'");
    } catch (const UsageError& e) {
        std::fprintf(stderr, "linkwise-virtual-ti92: %s\nTry 'linkwise-virtual-ti92 --help' for more information.\n",
                     e.what());
        return exitstatus::kUsage;
    }
    if (options.Has("help")) {
        std::fputs(Usage().c_str(), stdout);
        return 0;
    }
    if (options.Has("version")) {
        std::fputs(VersionLine("linkwise-virtual-ti92").c_str(), stdout);
        return 0;
    }
    return ReadValues(options, o);
}

// The calculator's variables: demo content, else the files; then the
// generated variables. An exit status when one cannot be had.
std::optional<int> LoadContent(VirtualTI92& calc, const SimOptions& o)
{
    calc.LoadDemoContent();
    if (!o.files.empty())
        calc.Clear();  // the drawn screen stays; the variables come from the files
    for (const auto& f : o.files) {
        try {
            calc.LoadFile(f);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "linkwise-virtual-ti92: %s\n", e.what());
            return 2;
        }
    }
    for (const auto& g : o.generated) {
        if (!AddGeneratedVariable(calc, g)) {
            std::fprintf(stderr, "linkwise-virtual-ti92: --variable %s: expected FOLDER\\NAME:TYPE:SIZE\n", g.c_str());
            return exitstatus::kUsage;
        }
    }
    if (!o.rom.empty())
        calc.romVersion = o.rom;
    return std::nullopt;
}

// Faults, noise and the packet log on the calculator's end of the line.
std::optional<int> SetUpLink(CalculatorLink& link, const SimOptions& o)
{
    link.keepLog = false;
    for (const auto& f : o.faults) {
        if (!SetFault(link.faults, f)) {
            std::fprintf(stderr, "linkwise-virtual-ti92: unknown fault %s\n", f.c_str());
            return exitstatus::kUsage;
        }
    }
    link.faults.damagePerMillion = o.damagePerMillion;
    link.faults.damageSeed = static_cast<uint32_t>(o.seed);
    link.faults.replaceBytes = o.replaced;
    if (o.verbose)
        link.onPacket = [](const SimPacket& p) {
            std::fprintf(stderr, "packet %02X %02X word %u, %zu data bytes%s\n", p.id, p.cmd, p.word, p.data.size(),
                         p.checksumOk ? "" : " (bad checksum)");
            if (p.cmd == Cmd::KEY)
                std::fprintf(stderr, "key %u%s\n", p.word, KeyDescription(p.word).c_str());
        };
    return std::nullopt;
}

// The pseudo-terminal and its link, served until SIGINT or SIGTERM.
int Serve(CalculatorLink& link, const VirtualTI92& calc, const SimOptions& o)
{
    SimPtyServer server(link);
    server.SetBaud(static_cast<int>(o.baud));
    server.SetReader(o.reader);
    std::string error;
    if (!server.Open(error)) {
        std::fprintf(stderr, "linkwise-virtual-ti92: %s\n", error.c_str());
        return 1;
    }
    if (!MakeLink(o.linkPath, server.SlavePath()))
        return 1;

    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    std::printf("LINKWISE_COM%ld=%s\n", o.port, o.linkPath.c_str());
    std::fflush(stdout);
    std::fprintf(stderr, "virtual TI-92 on %s (%s), %zu variables, %s\n", o.linkPath.c_str(),
                 server.SlavePath().c_str(), calc.VariableCount(),
                 o.baud > 0 ? (std::to_string(o.baud) + " baud").c_str() : "unpaced");

    server.Run(gStop);

    RemoveLink(o.linkPath, server.SlavePath());
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    SimOptions options;
    if (const auto status = ReadOptions(argc, argv, options))
        return *status;
    VirtualTI92 calc;
    if (const auto status = LoadContent(calc, options))
        return *status;
    CalculatorLink link(calc);
    if (const auto status = SetUpLink(link, options))
        return *status;
    return Serve(link, calc, options);
}
