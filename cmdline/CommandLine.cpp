#include "cmdline/CommandLine.h"

#include <QCommandLineParser>
#include <QStringList>
#include <optional>

#ifndef LINKWISE_VERSION
#define LINKWISE_VERSION "unknown"
#endif

namespace {

constexpr size_t kHelpColumn = 30;

std::vector<std::string> Names(const std::string& names)
{
    std::vector<std::string> out;
    size_t start = 0;
    for (;;) {
        const size_t comma = names.find(',', start);
        out.push_back(names.substr(start, comma - start));
        if (comma == std::string::npos)
            return out;
        start = comma + 1;
    }
}

std::string Dashed(const std::string& name)
{
    return (name.size() == 1 ? "-" : "--") + name;
}

// Qt's "Unknown option 'x'." as "unknown option '-x'" would read on a terminal.
std::string Reworded(QString text)
{
    if (text.endsWith('.'))
        text.chop(1);
    if (!text.isEmpty())
        text[0] = text[0].toLower();
    return text.toStdString();
}

}  // namespace

std::string ParsedOptions::Value(const std::string& name, const std::string& fallback) const
{
    auto it = values.find(name);
    return it == values.end() || it->second.empty() ? fallback : it->second.back();
}

std::vector<std::string> ParsedOptions::Values(const std::string& name) const
{
    auto it = values.find(name);
    return it == values.end() ? std::vector<std::string>() : it->second;
}

ParsedOptions ParseOptions(const std::vector<OptionSpec>& optionTable, const std::vector<std::string>& args,
                           bool stopAtFirstPositional)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    parser.setOptionsAfterPositionalArgumentsMode(stopAtFirstPositional ? QCommandLineParser::ParseAsPositionalArguments
                                                                        : QCommandLineParser::ParseAsOptions);
    for (const OptionSpec& optionRow : optionTable) {
        QStringList names;
        for (const std::string& n : Names(optionRow.names))
            names << QString::fromStdString(n);
        QCommandLineOption option(names, QString::fromStdString(optionRow.help),
                                  QString::fromStdString(optionRow.valueName));
        parser.addOption(option);
    }
    QStringList list{QStringLiteral("program")};
    for (const std::string& a : args)
        list << QString::fromStdString(a);
    if (!parser.parse(list))
        throw UsageError(Reworded(parser.errorText()));

    ParsedOptions parsed;
    parsed.raw = args;
    for (const OptionSpec& optionRow : optionTable) {
        const std::vector<std::string> names = Names(optionRow.names);
        const QString key = QString::fromStdString(names.back());
        if (!parser.isSet(key))
            continue;
        std::vector<std::string>& values = parsed.values[names.back()];
        if (optionRow.valueName.empty()) {
            values.push_back({});
            continue;
        }
        for (const QString& v : parser.values(key)) {
            if (v.isEmpty() && !optionRow.emptyValueOk)
                throw UsageError("option '" + Dashed(names.back()) + "' needs a value");
            values.push_back(v.toStdString());
        }
    }
    for (const QString& p : parser.positionalArguments())
        parsed.positional.push_back(p.toStdString());
    return parsed;
}

namespace {

const OptionSpec* FindOptionRow(const std::vector<OptionSpec>& optionTable, const std::string& name)
{
    for (const OptionSpec& s : optionTable)
        for (const std::string& n : Names(s.names))
            if (n == name)
                return &s;
    return nullptr;
}

// One argument that starts with a dash: the options it names and the value
// written into it, if any.
struct OptionArgument {
    std::vector<std::string> names;
    std::optional<std::string> inlineValue;
};

// Long: --name or --name=value; short: -abc, the last may take the rest as its value.
OptionArgument SplitOptionArgument(const std::vector<OptionSpec>& optionTable, const std::string& a)
{
    OptionArgument split;
    if (a[1] == '-') {
        const size_t eq = a.find('=');
        split.names.push_back(a.substr(2, eq == std::string::npos ? std::string::npos : eq - 2));
        if (eq != std::string::npos)
            split.inlineValue = a.substr(eq + 1);
        return split;
    }
    for (size_t k = 1; k < a.size(); ++k) {
        split.names.push_back(a.substr(k, 1));
        const OptionSpec* s = FindOptionRow(optionTable, split.names.back());
        if (s && !s->valueName.empty() && k + 1 < a.size()) {
            split.inlineValue = a.substr(k + 1 + (a[k + 1] == '='));
            break;
        }
    }
    return split;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> InOrder(const std::vector<OptionSpec>& optionTable,
                                                         const std::vector<std::string>& args)
{
    ParseOptions(optionTable, args);
    std::vector<std::pair<std::string, std::string>> out;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--") {
            for (++i; i < args.size(); ++i)
                out.emplace_back("", args[i]);
            break;
        }
        if (a.size() < 2 || a[0] != '-') {
            out.emplace_back("", a);
            continue;
        }
        const OptionArgument split = SplitOptionArgument(optionTable, a);
        for (const std::string& n : split.names) {
            const OptionSpec* s = FindOptionRow(optionTable, n);
            if (!s)
                continue;
            const std::string key = Names(s->names).back();
            if (s->valueName.empty())
                out.emplace_back(key, "");
            else if (split.inlineValue)
                out.emplace_back(key, *split.inlineValue);
            else if (i + 1 < args.size())
                out.emplace_back(key, args[++i]);
        }
    }
    return out;
}

std::string OptionHelp(const std::vector<OptionSpec>& optionTable)
{
    std::string out;
    for (const OptionSpec& optionRow : optionTable) {
        std::string head = "  ";
        const std::vector<std::string> names = Names(optionRow.names);
        if (names.front().size() != 1)
            head += "    ";
        for (size_t i = 0; i < names.size(); ++i)
            head += (i ? ", " : "") + Dashed(names[i]);
        if (!optionRow.valueName.empty())
            head += " " + optionRow.valueName;
        out += head;
        if (head.size() + 2 > kHelpColumn)
            out += "\n" + std::string(kHelpColumn, ' ');
        else
            out += std::string(kHelpColumn - head.size(), ' ');
        for (char c : optionRow.help) {
            out += c;
            if (c == '\n')
                out += std::string(kHelpColumn, ' ');
        }
        out += '\n';
    }
    return out;
}

std::string VersionLine(const std::string& program)
{
    return program + " (Linkwise) " LINKWISE_VERSION "\n";
}
