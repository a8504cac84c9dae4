#include "app/startup/ParamCommands.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace {

std::string Upper(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
    return s;
}

bool IsFile(const std::string& p)
{
    std::error_code ec;
    const auto status = std::filesystem::status(p, ec);
    return !ec && std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

}  // namespace

ParamCommandsType ReadParamCommands(const std::vector<std::string>& params)
{
    ParamCommandsType r;
    std::string commandText;
    for (const std::string& p : params) {
        if (p.empty() || !IsFile(p)) {
            // A space keeps two words from forming a keyword between them.
            commandText += Upper(p) + ' ';
            continue;
        }
        if (r.FileName.empty())
            r.FileName = p;
        else
            r.SecondFileName = p;
    }
    const struct {
        const char* word;
        ParamCommand code;
    } keywords[] = {{"EXIT", cmdEXIT}, {"VIEW", cmdVIEW}, {"SEND", cmdSEND}, {"CONVERT", cmdCONVERT}};
    for (const auto& k : keywords)
        if (commandText.find(k.word) != std::string::npos)
            r.Add(k.code);
    if (r.Commands == 0)
        r.Add(cmdSEND);
    return r;
}

bool MissingParamFile(const ParamCommandsType& commands, size_t paramCount)
{
    return (commands.Has(cmdSEND) || commands.Has(cmdCONVERT)) && paramCount > 0 && commands.FileName.empty();
}
