#include <filesystem>
#include <iomanip>
#include <ostream>

#include "app/cli/CliCommands.h"
#include "app/cli/ConsoleDialogs.h"
#include "app/cli/JsonText.h"
#include "app/cli/PrintableText.h"
#include "files/ClassifyFile.h"
#include "files/FileBrowser.h"
#include "files/FileExtensions.h"
#include "files/FileFormat.h"
#include "files/FileListing.h"
#include "files/Ti92Charset.h"
#include "link/Exceptions.h"

namespace {

struct FileInfo {
    VariableFileType info;
    std::vector<ListItem> variables;
};

// A text file's comment is its own first bytes, not calculator text.
bool CommentIsSourceText(const std::string& kindText) { return kindText == KindText(kinds::kText); }

std::string ShownCommentUtf8(const VariableFileType& i)
{
    const std::string c = ShownComment(i);
    return i.kind == kinds::kText ? ti92text::SourceTextToUtf8(c) : ti92text::ToUtf8(c);
}

std::string RowCommentUtf8(const ListItem& r)
{
    return CommentIsSourceText(r.subItems[1]) ? ti92text::SourceTextToUtf8(r.subItems[0])
                                              : ti92text::ToUtf8(r.subItems[0]);
}

bool HasVariables(int kind)
{
    return kind >= kinds::kFargo2Library && kind <= kinds::kSingle + 30;
}

void PrintText(std::ostream& out, const std::string& path, const FileInfo& f)
{
    const VariableFileType& i = f.info;
    out << path << '\n';
    out << "  Type of file: " << KindText(i.kind) << '\n';
    out << "  Comment: " << PrintableUtf8(ShownCommentUtf8(i)) << '\n';
    if (!i.description.empty())
        out << "  Description: " << Printable(i.description) << '\n';
    out << "  Size: " << SizeText(i.size) << " (" << i.size << " bytes)\n";
    out << "  Entries: " << i.entryCount << '\n';
    if (!f.variables.empty()) {
        out << "  Included variables:\n";
        for (const ListItem& v : f.variables)
            out << "    " << Printable(v.caption)
                << (v.subItems.empty() ? "" : "  " + v.subItems[0]) << '\n';
    }
    if (!i.libraries.empty()) {
        out << "  Required libraries: ";
        for (size_t k = 0; k < i.libraries.size(); ++k)
            out << (k ? ", " : "") << Printable(i.libraries[k]);
        out << '\n';
    }
}

void PrintJson(std::ostream& out, const std::string& path, const FileInfo& f)
{
    const VariableFileType& i = f.info;
    out << "{\"file\": " << JsonText(path) << ", \"kind\": " << i.kind
        << ", \"kindText\": " << JsonText(KindText(i.kind)) << ", \"comment\": " << JsonText(ShownCommentUtf8(i))
        << ", \"description\": " << CalculatorJson(i.description) << ", \"size\": " << i.size
        << ", \"sizeText\": " << JsonText(SizeText(i.size)) << ", \"entries\": " << i.entryCount
        << ", \"variables\": [";
    for (size_t k = 0; k < f.variables.size(); ++k) {
        const ListItem& v = f.variables[k];
        out << (k ? ", " : "") << "{\"name\": " << CalculatorJson(v.caption)
            << ", \"type\": " << JsonText(v.subItems.empty() ? "" : v.subItems[0]) << "}";
    }
    out << "], \"libraries\": [";
    for (size_t k = 0; k < i.libraries.size(); ++k)
        out << (k ? ", " : "") << CalculatorJson(i.libraries[k]);
    out << "]}";
}

// A folder the way the file browser lists it.
void PrintFolder(std::ostream& out, const std::vector<ListItem>& rows, bool json)
{
    if (json) {
        out << "[";
        for (size_t k = 0; k < rows.size(); ++k) {
            const ListItem& r = rows[k];
            if (r.subItems.size() < 3)
                continue;   // the "(no files to show)" row
            out << (k ? ",\n " : "") << "{\"file\": " << JsonText(r.caption) << ", \"comment\": "
                << JsonText(RowCommentUtf8(r)) << ", \"kindText\": " << JsonText(r.subItems[1])
                << ", \"sizeText\": " << JsonText(r.subItems[2]) << ", \"size\": " << r.data << "}";
        }
        out << "]\n";
        return;
    }
    size_t nameWidth = 8, commentWidth = 7, kindWidth = 4;
    for (const ListItem& r : rows) {
        nameWidth = std::max(nameWidth, PrintableUtf8(r.caption).size());
        if (r.subItems.size() >= 3) {
            commentWidth = std::max(commentWidth, PrintableUtf8(RowCommentUtf8(r)).size());
            kindWidth = std::max(kindWidth, r.subItems[1].size());
        }
    }
    auto row = [&](const std::string& a, const std::string& b, const std::string& c, const std::string& d) {
        out << std::left << std::setw(int(nameWidth) + 2) << a << std::setw(int(commentWidth) + 2) << b
            << std::setw(int(kindWidth) + 2) << c << d << '\n';
    };
    row("Filename", "Comment", "Type", "Size");
    for (const ListItem& r : rows) {
        if (r.subItems.size() < 3)
            out << r.caption << '\n';
        else
            row(PrintableUtf8(r.caption), PrintableUtf8(RowCommentUtf8(r)), r.subItems[1], r.subItems[2]);
    }
}

int SortKeyNamed(const std::string& name)
{
    static const char* const keys[] = {"name", "comment", "type", "size"};
    for (int k = 0; k < 4; ++k)
        if (name == keys[k])
            return k;
    throw CliUsageError("unknown sort key '" + name + "' (name, comment, type or size)");
}

}  // namespace

int RunInfo(CliContext& context, const ParsedOptions& args)
{
    const bool json = args.Has("json");
    const int sortKey = args.Has("sort") ? SortKeyNamed(args.Value("sort")) : 0;
    const std::vector<std::string>& paths = args.positional;
    if (paths.empty())
        throw CliUsageError("needs at least one file or folder");
    std::error_code ec;
    if (paths.size() == 1 && std::filesystem::is_directory(paths[0], ec)) {
        BrowserFilter filter{kBrowserExtensionFilter, {}};
        PrintFolder(context.out, ListFiles(paths[0], filter, sortKey), json);
        return 0;
    }

    int status = 0;
    bool first = true;
    if (json)
        context.out << "[";
    for (const std::string& path : paths) {
        FileInfo f;
        f.info.path = path;
        try {
            ClassifyFile(f.info);
            if (f.info.kind == kinds::kNone) {
                context.Fail(path, "not a TI-92 file (nor a .txt text file)");
                status = exitstatus::kError;
                continue;
            }
            if (HasVariables(f.info.kind))
                f.variables = ListIncludedVariables(path);
        } catch (const std::exception& e) {
            context.Fail(path, ConsoleErrorLine(e, context.options.verbose));
            status = 2;
            continue;
        }
        if (json) {
            context.out << (first ? "" : ",\n ");
            PrintJson(context.out, path, f);
        } else {
            PrintText(context.out, path, f);
        }
        first = false;
    }
    if (json)
        context.out << "]\n";
    return status;
}
