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
    static const struct {
        const char* word;
        ParamCommand code;
    } kKeywords[] = {{"EXIT", cmdEXIT}, {"VIEW", cmdVIEW}, {"SEND", cmdSEND}, {"CONVERT", cmdCONVERT}};
    ParamCommandsType r;
    for (const std::string& p : params) {
        bool keyword = false;
        for (const auto& k : kKeywords)
            if (Upper(p) == k.word) {
                r.Add(k.code);
                keyword = true;
            }
        // Any other parameter names a file; one that does not exist yet
        // (a convert target) is no file to act on.
        if (keyword || !IsFile(p))
            continue;
        if (r.FileName.empty())
            r.FileName = p;
        else
            r.SecondFileName = p;
    }
    if (r.Commands == 0)
        r.Add(cmdSEND);
    return r;
}

bool MissingParamFile(const ParamCommandsType& commands, size_t paramCount)
{
    return (commands.Has(cmdSEND) || commands.Has(cmdCONVERT)) && paramCount > 0 && commands.FileName.empty();
}
