#include "cmdline/OptionDocs.h"

#include <cctype>

namespace {

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string part;
    for (char c : text) {
        if (c == separator) {
            parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    parts.push_back(part);
    return parts;
}

bool IsValueWord(const std::string& word)
{
    if (word.empty())
        return false;
    for (char c : word)
        if (!std::islower(static_cast<unsigned char>(c)) && !std::isdigit(static_cast<unsigned char>(c)) && c != '-')
            return false;
    return std::islower(static_cast<unsigned char>(word[0]));
}

// The help line as a sentence: a capital first letter and a full stop.
std::string Sentence(std::string help)
{
    if (!help.empty())
        help[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(help[0])));
    if (!help.empty() && help.back() != '.')
        help += '.';
    return help;
}

}  // namespace

std::string RoffText(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else if (c == '\n')
            out += ' ';
        else
            out += c;
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\''))
        out = "\\&" + out;
    return out;
}

std::vector<std::string> OptionWords(const OptionSpec& option)
{
    std::vector<std::string> words;
    for (const std::string& name : Split(option.names, ','))
        words.push_back((name.size() == 1 ? "-" : "--") + name);
    return words;
}

std::string LongName(const OptionSpec& option)
{
    return Split(option.names, ',').back();
}

std::vector<std::string> ValueWords(const OptionSpec& option)
{
    const std::vector<std::string> words = Split(option.valueName, '|');
    if (words.size() < 2)
        return {};
    for (const std::string& w : words)
        if (!IsValueWord(w))
            return {};
    return words;
}

std::string RoffOptionList(const std::vector<OptionSpec>& options,
                           const std::function<std::string(const std::string&)>& extra)
{
    std::string out;
    for (const OptionSpec& o : options) {
        // Bold names and roman separators and value, as .BR alternates them.
        std::string line;
        for (const std::string& w : OptionWords(o))
            line += (line.empty() ? "" : " \", \" ") + RoffText(w);
        if (!o.valueName.empty())
            line += " \" " + RoffText(o.valueName) + "\"";
        const bool alternates = line.find('"') != std::string::npos;
        out += ".TP\n" + std::string(alternates ? ".BR " : ".B ") + line + "\n";
        out += RoffText(Sentence(o.help)) + "\n";
        out += extra(LongName(o));
    }
    return out;
}

std::string SynopsisOptions(const std::vector<OptionSpec>& options)
{
    std::string out;
    for (const OptionSpec& o : options) {
        const std::string name = LongName(o);
        if (name == "help" || name == "version")
            continue;
        out += (out.empty() ? "[" : " [") + OptionWords(o).front();
        if (!o.valueName.empty())
            out += " " + o.valueName;
        out += "]";
    }
    return out;
}
