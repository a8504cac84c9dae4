#include "app/cli/CliCommands.h"

#include "files/CommentPrompt.h"
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

TextVariableNaming NamingOptions(const ParsedOptions& args)
{
    TextVariableNaming naming;
    if (args.Has("name"))
        naming.name = CheckedVariableName("--name", args.Value("name"));
    if (args.Has("folder"))
        naming.folder = CheckedVariableName("--folder", args.Value("folder"));
    return naming;
}

unsigned TabSizeOption(const ParsedOptions& args)
{
    if (!args.Has("tab-size"))
        return kDefaultTabSize;
    constexpr unsigned kMaxTabSize = 32;
    const std::string v = args.Value("tab-size");
    const bool digits = !v.empty() && v.size() <= 2 && v.find_first_not_of("0123456789") == std::string::npos;
    const unsigned size = digits ? static_cast<unsigned>(std::stoi(v)) : 0;
    if (size < 1 || size > kMaxTabSize)
        throw CliUsageError("tab size '" + v + "' is not a whole number from 1 to " + std::to_string(kMaxTabSize));
    return size;
}

FileComment CommentOption(const CliContext& context, const ParsedOptions& args)
{
    const FileComment comment = CommentFromUtf8(args.Value("comment"));
    for (const std::string& note : CommentNotes(comment))
        context.Note(note);
    return comment;
}
