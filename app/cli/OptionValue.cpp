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

FileComment CommentOption(const CliContext& context, const ParsedOptions& args)
{
    const FileComment comment = CommentFromUtf8(args.Value("comment"));
    for (const std::string& note : CommentNotes(comment))
        context.Note(note);
    return comment;
}
