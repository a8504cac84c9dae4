#include "app/cli/CliCommands.h"

#include "files/TextConversion.h"

std::string CheckedVariableName(const std::string& option, const std::string& value)
{
    std::string name = value;
    for (char& c : name)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    if (!IsValidVariableName(name))
        throw CliUsageError(option + " '" + value +
                            "' is not a valid TI-92 name: 1 to 8 letters, digits or _, starting with a letter");
    return name;
}
