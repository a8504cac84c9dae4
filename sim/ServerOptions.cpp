#include "sim/ServerOptions.h"

const std::vector<OptionSpec>& VirtualTI92Options()
{
    static const std::vector<OptionSpec> optionTable = {
        {"link", "PATH",
         "symbolic link to the pseudo-terminal (default:\n$XDG_RUNTIME_DIR/linkwise-ti92, else /tmp/linkwise-ti92)"},
        {"port", "N", "print LINKWISE_COMn for port N, 1..8 (default 1, the\nport Linkwise uses out of the box)"},
        {"content", "FILE",
         "load variables from a TI-92 file (.92g, .92p, .92b, ...);\nrepeatable; without it the calculator holds demo "
         "content"},
        {"baud", "N", "pace the line at N baud (9600: about 1.04 ms per byte)"},
        {"reader", "uart|pty|burst",
         "how the computer's device passes bytes on to the paced\nline: uart (a 16-byte FIFO, the default), pty (byte "
         "by\nbyte) or burst (up to 4 KB at once, then nothing until\nthey have crossed)"},
        {"variable", "FOLDER\\NAME:TYPE:SIZE",
         "add a variable of SIZE data bytes (0..65529) and type\ncode TYPE (hex), e.g. main\\big:0b:32768; repeatable"},
        {"fault", "NAME",
         "misbehave for tests: silent, refuse-ready,\nrefuse-requests, refuse-variables, garbage,\ndamage-checksums, "
         "damage-screenshot, refuse-request=N,\ndamage-request=N (N counts variable requests from 1);\nrepeatable"},
        {"damage", "PERCENT",
         "flip one bit in this share of the bytes it sends, as\nline noise would (e.g. 0.5 or 0.5%: one byte in 200)"},
        {"replace", "POS:HEX",
         "send the byte at POS (from 0, over everything sent) as\nthe byte HEX instead, e.g. 57:92; repeatable"},
        {"seed", "N", "start the noise from this seed (default 1): the same\nseed damages the same bytes again"},
        {"rom", "VERSION", "ROM version text (default 1.11)"},
        {"v,verbose", "", "log every packet received, and every key pressed, on stderr"},
        {"h,help", "", "show this help and exit"},
        {"V,version", "", "show the version and exit"},
    };
    return optionTable;
}
