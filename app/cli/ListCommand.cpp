#include <cstdio>
#include <ostream>

#include "app/cli/CliCommands.h"
#include "app/cli/CliLink.h"
#include "app/cli/ConsoleTransferView.h"
#include "transfers/DirectoryListing.h"
#include "app/cli/JsonText.h"
#include "app/cli/PrintableText.h"

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
        std::snprintf(line, sizeof line, "%-18s %-11s %8s\n", Printable(row.caption).c_str(), type.c_str(),
                      Column(row, 1).c_str());
        out << line;
    }
}

void PrintJson(std::ostream& out, const std::vector<ListItem>& rows)
{
    out << "[";
    for (size_t i = 0; i < rows.size(); ++i) {
        const ListItem& row = rows[i];
        const auto slash = row.caption.find('\\');
        out << (i ? ",\n " : "\n ") << "{\"name\": " << CalculatorJson(row.caption)
            << ", \"folder\": " << CalculatorJson(row.caption.substr(0, slash == std::string::npos ? 0 : slash))
            << ", \"variable\": " << CalculatorJson(slash == std::string::npos ? row.caption : row.caption.substr(slash + 1))
            << ", \"type\": " << JsonText(Column(row, 0)) << ", \"typeCode\": " << (row.data & 0xFF)
            << ", \"size\": " << (Column(row, 1).empty() ? "0" : Column(row, 1)) << "}";
    }
    out << (rows.empty() ? "]\n" : "\n]\n");
}

}  // namespace

int RunList(CliContext& context, const ParsedOptions& args)
{
    const bool json = args.Has("json");
    if (!args.positional.empty())
        throw CliUsageError("takes no arguments, not '" + args.positional.front() + "'");
    TTI92& link = context.Link().tti92();
    ConsoleTransferView view(link, context);
    if (!FetchDirectoryList(link, view, ListViewId::ListView1))
        return view.FailureStatus();
    const auto rows = view.ListViewItems(ListViewId::ListView1);
    if (json)
        PrintJson(context.out, rows);
    else
        PrintTable(context.out, rows);
    return 0;
}
