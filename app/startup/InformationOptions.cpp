#include "app/startup/InformationOptions.h"

#include "cmdline/CommandLine.h"

const std::vector<OptionSpec>& WindowOptionSpecs()
{
    static const std::vector<OptionSpec> options = {
        {"register", "",
         "open TI-92 files with Linkwise: entries for this user,\nwhen no installed package provides them"},
        {"unregister", "", "remove what --register wrote"},
        {"h,help", "", "show this help and exit"},
        {"V,version", "", "show the version and exit"},
    };
    return options;
}

std::optional<int> AnswerInformationOptions(const std::vector<std::string>& params, std::ostream& out)
{
    for (const std::string& p : params) {
        if (p == "--")
            break;
        if (p == "--version" || p == "-V") {
            out << VersionLine("linkwise");
            return 0;
        }
        if (p == "--help" || p == "-h") {
            out << "Usage: linkwise [KEYWORD]... [FILE [TARGET]]\n"
                   "Connect a TI-92 calculator through a link cable; a wizard leads through\n"
                   "each job. Without parameters the window opens on its task menu.\n"
                   "\n"
                   "Keywords (any case, each a parameter of its own; any other parameter is a file):\n"
                   "  SEND FILE               send FILE to the calculator (assumed when a file\n"
                   "                          is given without a keyword)\n"
                   "  CONVERT TEXT [TARGET]   convert a text file into a TI-92 text file;\n"
                   "                          without an existing TARGET the program asks\n"
                   "  EXIT                    end the program when the task has finished\n"
                   "  VIEW                    open the window without starting a task\n"
                   "\n"
                   "Options:\n"
                << OptionHelp(WindowOptionSpecs())
                << "\n"
                   "Examples:\n"
                   "  linkwise SEND tetris.92p\n"
                   "  linkwise CONVERT notes.txt notes.92t EXIT\n"
                   "\n"
                   "Settings are kept in ~/.config/linkwise/; LINKWISE_SETTINGS names another\n"
                   "settings file. Serial port N is the device in LINKWISE_COMN when set.\n"
                   "The command-line tool linkwise-cli talks to the calculator without a window.\n";
            return 0;
        }
    }
    return std::nullopt;
}
