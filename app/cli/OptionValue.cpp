#include "app/cli/CliCommands.h"

const std::string& OptionValue(const std::vector<std::string>& args, size_t& i)
{
    if (i + 1 >= args.size())
        throw CliUsageError("option '" + args[i] + "' needs a value");
    return args[++i];
}
