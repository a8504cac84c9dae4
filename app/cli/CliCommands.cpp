#include "app/cli/CliCommands.h"

namespace {

const OptionSpec kJson{"json", "", "print JSON (see the manual page for its fields)"};
const OptionSpec kName{"name", "NAME",
                       "the text variable's name on the calculator (for one\ntext file; default: from the file name)"};
const OptionSpec kFolder{"folder", "FOLDER", "the text variable's folder on the calculator"};
const OptionSpec kComment{"comment", "TEXT", "the file's comment, at most 34 characters\n(default: the date and time)",
                          true};

// The TI-92 has no link packets for these: the command is typed on its home
// screen and believed only when a new listing shows the change.
const char* const kChangeDetails = "Names are FOLDER\\NAME, FOLDER/NAME, or a name in main. The command is typed on\n"
                                   "the calculator's home screen (whatever screen is up is left first) and\n"
                                   "counts as done only when a new listing shows the change. Exit status 1 when a\n"
                                   "change was refused, by the checks or by the calculator; the others are still\n"
                                   "made.\n";

}  // namespace

const std::vector<CliCommand>& CliCommandTable()
{
    // One command to a row reads better than one field to a line.
    // clang-format off
    static const std::vector<CliCommand> commands = {
        {"ready", "", "check that the calculator answers (exit 0 ready, 1 not ready)", {}, RunReady},
        {"ls", "", "list the calculator's variables: name, type, size",
         {kJson, {"sort", "name|type|size|calculator", "the order (default: as the calculator lists them)"}}, RunList},
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
         "-o FILE.txt saves one text variable as UTF-8 text with LF line ends; a\n"
         "TI-92 code without a Unicode character becomes U+FFFD and is named.\n"},
        {"send", "FILE...",
         "send files: TI-92 files, text files, Fargo programs, backups",
         {{"y,yes", "", "send memory backups, which replace the calculator's memory"},
          {"f,force", "",
           "replace variables the calculator already holds, and send every\n"
           "copy of a variable the files give twice (without it, such a\n"
           "send is asked about on a terminal, else refused)"},
          {"libraries", "yes|no|ask", "send the Fargo libraries a program needs (default:\nask on a terminal, else no)"},
          {"lib-dir1", "DIR", "the Fargo 1 library folder (default: the window's setting)"},
          {"lib-dir2", "DIR", "the Fargo 2 library folder (default: the window's setting)"},
          kName,
          kFolder},
         RunSend},
        {"rm", "NAME...", "delete variables on the calculator", {}, RunRemove, kChangeDetails},
        {"mv", "OLD NEW", "rename a variable, or move it into the folder NEW", {}, RunMove, kChangeDetails},
        {"cp", "OLD NEW", "copy a variable (into the folder NEW under its own name)", {}, RunCopy, kChangeDetails},
        {"mkdir", "FOLDER", "make a folder on the calculator", {}, RunMakeFolder, kChangeDetails},
        {"rmdir", "FOLDER", "delete an empty folder on the calculator", {}, RunRemoveFolder, kChangeDetails},
        {"lock", "NAME...", "lock variables on the calculator", {}, RunLock, kChangeDetails},
        {"unlock", "NAME...", "unlock variables on the calculator", {}, RunUnlock, kChangeDetails},
        {"backup", "", "receive the calculator's memory backup and save it",
         {{"o,output", "FILE|DIR|-", "where to save: a .92b file, a folder, or - for\nstandard output"}, kComment},
         RunBackup},
        {"rom-version", "", "print the calculator's ROM version", {}, RunRomVersion},
        {"info", "FILE...|DIR", "describe TI-92 files, or list a folder of them",
         {kJson, {"sort", "name|comment|type|size", "the order of a folder's files (default: by name)"}}, RunInfo},
        {"convert", "TEXTFILE", "convert a text file (UTF-8 or Latin-1) into a TI-92 text file",
         {{"o,output", "FILE",
           "the TI-92 text file to write (.92t); without it,\nTEXTFILE's name with .92t, beside it, which must\nnot exist yet"},
          kComment, kName, kFolder,
          {"tab-size", "N", "columns between tab stops, 1..32 (default 8)"}}, RunConvert},
        {"group", "FILE...", "put the variables of TI-92 files together into one group file",
         {{"o,output", "FILE|-", "the group file to write (.92g), or - for standard output"}, kComment},
         RunGroup,
         "A variable that two files hold (same folder and name) is refused, and so are\n"
         "more than 255 entries; nothing is written then.\n"},
        {"ungroup", "FILE", "write each variable of a group file into a file of its own",
         {{"o,output", "DIR", "the folder: each variable goes into DIR/FOLDER/NAME.EXT\n(made when missing)"}},
         RunUngroup},
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
