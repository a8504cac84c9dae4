#include <iostream>

#include "app/cli/CliCommands.h"
#include "app/cli/StandardStreams.h"

int main(int argc, char** argv)
{
    standardstreams::Secure();
    std::vector<std::string> args(argv + 1, argv + argc);
    int status = RunCli(args, std::cout, std::cerr);
    std::string why;
    // A command that failed has said why already, the loss included.
    if (!standardstreams::Finish(why) && status == exitstatus::kSuccess) {
        std::cerr << "linkwise-cli: writing to standard output failed: " << why << '\n';
        status = exitstatus::kError;
    }
    return status;
}
