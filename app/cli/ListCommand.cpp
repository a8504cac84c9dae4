#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <ostream>

#include "app/cli/CliCommands.h"
#include "app/cli/CliLink.h"
#include "app/cli/ConsoleTransferView.h"
#include "app/cli/PrintableText.h"
#include "files/Ti92Charset.h"
#include "transfers/DirectoryListing.h"

namespace {

std::string Column(const ListItem& row, size_t i)
{
    return i < row.subItems.size() ? row.subItems[i] : std::string();
}

void PrintTable(std::ostream& out, const std::vector<ListItem>& rows)
{
    char line[128];
    std::snprintf(line, sizeof line, "%-18s %-11s %8s\n", "Name", "Type", "Size");
    out << line;
    for (const ListItem& row : rows) {
        std::string type = Column(row, 0);
        if (type.empty()) {
            char code[16];
            std::snprintf(code, sizeof code, "(0x%02X)", row.data & 0xFF);
            type = code;
        }
        std::snprintf(line, sizeof line, "%-18s %-11s %8s\n", Printable(row.caption).c_str(),
                      PrintableUtf8(type).c_str(), Column(row, 1).c_str());
        out << line;
    }
}

QString Utf8(const std::string& calculatorBytes)
{
    return QString::fromStdString(ti92text::ToUtf8(calculatorBytes));
}

int SizeOf(const ListItem& row)
{
    return std::atoi(Column(row, 1).c_str());
}

void PrintJson(std::ostream& out, const std::vector<ListItem>& rows)
{
    QJsonArray list;
    for (const ListItem& row : rows) {
        const auto slash = row.caption.find('\\');
        list.append(
            QJsonObject{{"name", Utf8(row.caption)},
                        {"folder", Utf8(row.caption.substr(0, slash == std::string::npos ? 0 : slash))},
                        {"variable", Utf8(slash == std::string::npos ? row.caption : row.caption.substr(slash + 1))},
                        {"type", QString::fromStdString(Column(row, 0))},
                        {"typeCode", row.data & 0xFF},
                        {"size", SizeOf(row)}});
    }
    out << QJsonDocument(list).toJson(QJsonDocument::Indented).toStdString();
}

void Sort(std::vector<ListItem>& rows, const std::string& key)
{
    if (key.empty() || key == "calculator")
        return;
    if (key == "name")
        std::stable_sort(rows.begin(), rows.end(),
                         [](const ListItem& a, const ListItem& b) { return a.caption < b.caption; });
    else if (key == "type")
        std::stable_sort(rows.begin(), rows.end(),
                         [](const ListItem& a, const ListItem& b) { return Column(a, 0) < Column(b, 0); });
    else if (key == "size")
        std::stable_sort(rows.begin(), rows.end(),
                         [](const ListItem& a, const ListItem& b) { return SizeOf(a) < SizeOf(b); });
    else
        throw CliUsageError("unknown sort key '" + key + "' (name, type, size or calculator)");
}

}  // namespace

int RunList(CliContext& context, const ParsedOptions& args)
{
    const bool json = args.Has("json");
    const std::string sortKey = args.Value("sort");
    Sort(*std::make_unique<std::vector<ListItem>>(), sortKey);  // a bad key costs no transfer
    if (!args.positional.empty())
        throw CliUsageError("takes no arguments, not '" + args.positional.front() + "'");
    Ti92Link& link = context.Link().tti92();
    ConsoleTransferView view(link, context);
    if (!FetchDirectoryList(link, view, ListViewId::Calculator))
        return view.FailureStatus();
    auto rows = view.ListViewItems(ListViewId::Calculator);
    Sort(rows, sortKey);
    if (json)
        PrintJson(context.out, rows);
    else
        PrintTable(context.out, rows);
    return 0;
}
