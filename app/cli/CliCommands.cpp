#include "app/cli/CliCommands.h"

namespace {

const OptionSpec kJson{"json", "", "print JSON (see the manual page for its fields)"};
const OptionSpec kName{"name", "NAME",
                       "the text variable's name on the calculator (for one\ntext file; default: from the file name)"};
const OptionSpec kFolder{"folder", "FOLDER", "the text variable's folder on the calculator"};
const OptionSpec kComment{"comment", "TEXT", "the file's comment, at most 34 characters\n(default: the date and time)",
                          true};

}  // namespace

const std::vector<CliCommand>& CliCommandTable()
{
    // One command to a row reads better than one field to a line.
    // clang-format off
    static const std::vector<CliCommand> commands = {
        {"ready", "", "check that the calculator answers (exit 0 ready, 1 not ready)", {}, RunReady},
        {"ls", "", "list the calculator's variables: name, type, size",
         {kJson, {"sort", "KEY", "order by name, type or size (default: as the\ncalculator lists them)"}}, RunList},
        {"get", "NAME...|--all",
         "receive variables into a file, a group file or a folder",
         {{"o,output", "FILE|DIR|-", "where to save: a file, a folder (each variable under\nits own name), or - for "
                                     "standard output"},
          {"all", "", "every variable, each into DIR/FOLDER/NAME.EXT"},
          kComment,
          {"no-folders", "", "store the variables without their folder names"}},
         RunGet,
         "NAME is FOLDER\\NAME, FOLDER/NAME, or a name found in one folder only; shell\n"
         "patterns (* ? [...]) take every variable that matches, e.g. 'main\\*'.\n"
         "-o FILE.txt saves one text variable as UTF-8 text with LF line ends.\n"},
        {"send", "FILE...",
         "send files: TI-92 files, text files, Fargo programs, backups",
         {{"y,yes", "", "send memory backups, which replace the calculator's memory"},
          {"f,force", "", "replace variables the calculator already holds (without it,\nsuch a send is refused)"},
          {"libraries", "yes|no|ask", "send the Fargo libraries a program needs (default:\nask on a terminal, else no)"},
          {"lib-dir1", "DIR", "the Fargo 1 library folder (default: the window's setting)"},
          {"lib-dir2", "DIR", "the Fargo 2 library folder (default: the window's setting)"},
          kName,
          kFolder},
         RunSend},
        {"backup", "", "receive the calculator's memory backup and save it",
         {{"o,output", "FILE|DIR|-", "where to save: a .92b file, a folder, or - for\nstandard output"}, kComment},
         RunBackup},
        {"rom-version", "", "print the calculator's ROM version", {}, RunRomVersion},
        {"info", "FILE...|DIR", "describe TI-92 files, or list a folder of them",
         {kJson, {"sort", "KEY", "order a folder by name (default), comment, type or size"}}, RunInfo},
        {"convert", "TEXTFILE", "convert a text file (UTF-8 or Latin-1) into a TI-92 text file",
         {{"o,output", "FILE", "the TI-92 text file to write (.92t)"}, kComment, kName, kFolder,
          {"tab-size", "N", "columns between tab stops, 1..32 (default 8)"}}, RunConvert},
        {"screenshot", "", "grab the calculator's screen as PNG or BMP",
         {{"o,output", "FILE|-", "the picture: .png or .bmp by its name; - writes PNG to\nstandard output"},
          {"scale", "N", "enlarge each pixel N times, 1..16 (default 1)"}},
         RunScreenshot},
        {"keys", "TEXT...", "type TEXT and named keys on the calculator",
         {{"key", "NAME", "press a named key (ENTER, ESC, F1, ...) or a code; repeatable,\nin order with the texts"}},
         RunKeys},
        {"view", "FILE", "print a text variable, or write a picture variable as PNG",
         {{"o,output", "FILE|-", "where to write the text or the PNG picture"},
          {"var", "NAME", "the variable of a group file to show"}},
         RunView},
        {"ports", "", "list the serial devices present, marking the one in use (*)", {kJson}, RunPorts},
        {"doctor", "", "find the calculator, or say what stands in the way",
         {{"save", "", "store the cable and device that answered in the settings"}, kJson}, RunDoctor,
         "Without --port and --cable it tries the USB-serial adapters, USB cables,\n"
         "parallel ports and the device in the settings, never a ttyACM device or\n"
         "an on-board serial port the settings do not name, nor a device another\n"
         "program holds. Each gets one ready check; nothing else is sent. Exit status\n"
         "0: a calculator answered; 1: a usable device, but no answer; 2: no usable\n"
         "device.\n"},
    };
    // clang-format on
    return commands;
}

const CliCommand* FindCliCommand(const std::string& name)
{
    for (const CliCommand& c : CliCommandTable())
        if (name == c.name)
            return &c;
    return nullptr;
}
