// Build tool: writes the manual pages and the bash completion of the three
// programs from the option and command tables that build their --help, with
// the hand-written prose of man/<program>/ around them.
// Usage: linkwise-program-docs MAN-PARTS-DIR OUTDIR VERSION
//
// A manual page is man/<program>/head.roff, the generated options (and, for
// linkwise-cli, commands), then tail.roff. Extra prose for an option goes in
// option-<long name>.roff, for a command in command-<name>.roff; it follows
// the generated text of that option or command.
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/cli/CliCommands.h"
#include "app/startup/InformationOptions.h"
#include "cmdline/OptionDocs.h"
#include "link/CalculatorKeys.h"
#include "sim/ServerOptions.h"

namespace {

std::string gParts;    // man/
std::string gVersion;  // "0.1.0"

std::string ReadPart(const std::string& program, const std::string& name)
{
    std::ifstream in(gParts + "/" + program + "/" + name);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

bool Write(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    if (out)
        return true;
    std::fprintf(stderr, "linkwise-program-docs: cannot write %s\n", path.c_str());
    return false;
}

std::string OptionsPart(const std::string& program, const std::string& title, const std::vector<OptionSpec>& options)
{
    return ".SH " + title + "\n" + RoffOptionList(options, [&](const std::string& name) {
               return ReadPart(program, "option-" + name + ".roff");
           });
}

std::string ManPage(const std::string& program, const std::string& generated)
{
    return Replaced(ReadPart(program, "head.roff"), "@VERSION@", gVersion) + generated + ReadPart(program, "tail.roff");
}

std::string CliCommandsPart()
{
    std::string out = ".SH COMMANDS\n";
    for (const CliCommand& c : CliCommandTable()) {
        std::string synopsis = c.synopsis;
        const std::string own = SynopsisOptions(c.options);
        if (!own.empty())
            synopsis += (synopsis.empty() ? "" : " ") + own;
        out += ".TP\n";
        // The command's name as typed, so `man -k` and searches find it.
        const std::string name = c.name;
        out += synopsis.empty() ? ".B " + name + "\n" : ".BR " + name + " \" " + RoffText(synopsis) + "\"\n";
        std::string summary = c.summary;
        summary[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(summary[0])));
        out += RoffText(summary + ".") + "\n";
        out += ReadPart("linkwise-cli", "command-" + std::string(c.name) + ".roff");
        if (!c.options.empty())
            out += ".RS\n" + RoffOptionList(c.options, [](const std::string&) { return std::string(); }) + ".RE\n";
    }
    return out;
}

std::string Joined(const std::vector<std::string>& words)
{
    std::string out;
    for (const std::string& w : words)
        out += (out.empty() ? "" : " ") + w;
    return out;
}

std::string OptionWordList(const std::vector<OptionSpec>& options)
{
    std::vector<std::string> words;
    for (const OptionSpec& o : options)
        for (const std::string& w : OptionWords(o))
            words.push_back(w);
    return Joined(words);
}

std::string KeyNames()
{
    std::vector<std::string> names;
    for (const CalcKey::Named& n : CalcKey::kNames)
        names.push_back(n.name);
    return Joined(names);
}

// What completes the value of an option: its words, files, folders, devices.
std::string ValueAction(const OptionSpec& o)
{
    const std::vector<std::string> words = ValueWords(o);
    if (!words.empty())
        return "COMPREPLY=($(compgen -W \"" + Joined(words) + "\" -- \"$cur\"))";
    const std::string& v = o.valueName;
    if (v.find("DEVICE") != std::string::npos)
        return "COMPREPLY=($(compgen -W \"1 2 3 4 5 6 7 8 $(_linkwise_serial_devices)\" -- \"$cur\"))";
    if (LongName(o) == "key")
        return "COMPREPLY=($(compgen -W \"" + KeyNames() + "\" -- \"$cur\"))";
    if (v.find("FILE") != std::string::npos || v.find("PATH") != std::string::npos)
        return "_filedir";
    if (v.find("DIR") != std::string::npos)
        return "_filedir -d";
    return ":";
}

// case patterns "PREFIX-o|PREFIX--output) ACTION; return ;;" for the options with a value.
std::string ValueCases(const std::vector<OptionSpec>& options, const std::string& prefix)
{
    std::string out;
    for (const OptionSpec& o : options) {
        if (o.valueName.empty())
            continue;
        std::string pattern;
        for (const std::string& w : OptionWords(o))
            pattern += (pattern.empty() ? "" : " | ") + prefix + w;
        out += "        " + pattern + ") " + ValueAction(o) + "; return ;;\n";
    }
    return out;
}

const char* const kSerialDevices = R"(_linkwise_serial_devices()
{
    local d
    for d in /dev/ttyS[0-9]* /dev/ttyUSB[0-9]* /dev/ttyACM[0-9]* /dev/serial/by-id/* /dev/parport[0-9]*; do
        [[ -e $d ]] && printf '%s\n' "$d"
    done
}

)";

std::string CliCompletion()
{
    const std::vector<OptionSpec>& global = GlobalOptionSpecs();
    std::vector<std::string> names;
    std::string valueCases = ValueCases(global, "*:");
    std::string commandOptions;
    std::string fileCommands;
    for (const CliCommand& c : CliCommandTable()) {
        names.push_back(c.name);
        valueCases += ValueCases(c.options, std::string(c.name) + ":");
        commandOptions += "        " + std::string(c.name) + ") own=\"" + OptionWordList(c.options) + "\" ;;\n";
        const std::string synopsis = c.synopsis;
        if (synopsis.find("FILE") != std::string::npos || synopsis.find("DIR") != std::string::npos)
            fileCommands += (fileCommands.empty() ? "" : " | ") + std::string(c.name);
    }
    std::string globalWithValue;
    for (const OptionSpec& o : global)
        if (!o.valueName.empty())
            for (const std::string& w : OptionWords(o))
                globalWithValue += (globalWithValue.empty() ? "" : " | ") + w;
    std::string s = "# bash completion for linkwise-cli, written by the build from its option tables\n\n";
    s += kSerialDevices;
    s += "_linkwise_cli()\n{\n"
         "    local cur prev words cword split\n"
         "    _init_completion -s || return\n\n"
         "    local global=\"" +
         OptionWordList(global) +
         "\"\n"
         "    local commands=\"" +
         Joined(names) +
         " help\"\n\n"
         "    # The command is the first word that is neither an option nor its value.\n"
         "    local i command=\"\"\n"
         "    for ((i = 1; i < cword; i++)); do\n"
         "        case ${words[i]} in\n"
         "            " +
         globalWithValue +
         ") ((i++)) ;;\n"
         "            -*) ;;\n"
         "            *) command=${words[i]}; break ;;\n"
         "        esac\n"
         "    done\n\n"
         "    case $command:$prev in\n" +
         valueCases +
         "    esac\n"
         "    $split && return\n\n"
         "    local own=\"\"\n"
         "    case $command in\n"
         "        \"\") COMPREPLY=($(compgen -W \"$commands $global\" -- \"$cur\")); return ;;\n"
         "        help) COMPREPLY=($(compgen -W \"$commands\" -- \"$cur\")); return ;;\n" +
         commandOptions +
         "    esac\n"
         "    if [[ $cur == -* ]]; then\n"
         "        COMPREPLY=($(compgen -W \"$own $global\" -- \"$cur\"))\n"
         "    else\n"
         "        case $command in\n"
         "            " +
         (fileCommands.empty() ? std::string("\"\"") : fileCommands) +
         ") _filedir ;;\n"
         "        esac\n"
         "    fi\n"
         "} && complete -F _linkwise_cli linkwise-cli\n";
    return s;
}

// A program without commands: its options, then `rest` for other words.
std::string SimpleCompletion(const std::string& program, const std::vector<OptionSpec>& options,
                             const std::string& rest)
{
    std::string function = "_" + Replaced(program, "-", "_");
    return "# bash completion for " + program + ", written by the build from its option table\n\n" +
           std::string(kSerialDevices) + function +
           "()\n{\n"
           "    local cur prev words cword split\n"
           "    _init_completion -s || return\n"
           "    case $prev in\n" +
           ValueCases(options, "") +
           "    esac\n"
           "    $split && return\n"
           "    if [[ $cur == -* ]]; then\n"
           "        COMPREPLY=($(compgen -W \"" +
           OptionWordList(options) +
           "\" -- \"$cur\"))\n"
           "    else\n"
           "        " +
           rest +
           "\n"
           "    fi\n"
           "} && complete -F " +
           function + " " + program + "\n";
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "Usage: %s MAN-PARTS-DIR OUTDIR VERSION\n", argv[0]);
        return 2;
    }
    gParts = argv[1];
    const std::string out = argv[2];
    gVersion = argv[3];
    const bool ok =
        Write(out + "/linkwise.1", ManPage("linkwise", OptionsPart("linkwise", "OPTIONS", WindowOptionSpecs()))) &&
        Write(out + "/linkwise-cli.1",
              ManPage("linkwise-cli",
                      OptionsPart("linkwise-cli", "GLOBAL OPTIONS", GlobalOptionSpecs()) + CliCommandsPart())) &&
        Write(out + "/linkwise-virtual-ti92.1",
              ManPage("linkwise-virtual-ti92",
                      OptionsPart("linkwise-virtual-ti92", "OPTIONS", VirtualTI92Options()))) &&
        Write(out + "/linkwise-cli.bash", CliCompletion()) &&
        Write(out + "/linkwise.bash",
              SimpleCompletion("linkwise", WindowOptionSpecs(),
                               "COMPREPLY=($(compgen -W \"SEND CONVERT EXIT VIEW\" -- \"$cur\")); _filedir")) &&
        Write(out + "/linkwise-virtual-ti92.bash",
              SimpleCompletion("linkwise-virtual-ti92", VirtualTI92Options(), ":"));
    return ok ? 0 : 1;
}
