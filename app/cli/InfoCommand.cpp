#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>
#include <iomanip>
#include <ostream>

#include "app/cli/CliCommands.h"
#include "app/cli/ConsoleDialogs.h"
#include "app/cli/PrintableText.h"
#include "cmdline/WordValue.h"
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
bool CommentIsSourceText(const std::string& kindText)
{
    return kindText == KindText(kinds::kText);
}

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
    out << PrintableMessage(path) << '\n';
    out << "  Type of file: " << KindText(i.kind) << '\n';
    out << "  Comment: " << PrintableUtf8(ShownCommentUtf8(i)) << '\n';
    if (!i.description.empty())
        out << "  Description: " << Printable(i.description) << '\n';
    out << "  Size: " << SizeText(i.size) << " (" << i.size << " bytes)\n";
    out << "  Entries: " << i.entryCount << '\n';
    if (!f.variables.empty()) {
        out << "  Included variables:\n";
        for (const ListItem& v : f.variables)
            out << "    " << Printable(v.caption) << (v.subItems.empty() ? "" : "  " + v.subItems[0]) << '\n';
    }
    if (!i.libraries.empty()) {
        out << "  Required libraries: ";
        for (size_t k = 0; k < i.libraries.size(); ++k)
            out << (k ? ", " : "") << Printable(i.libraries[k]);
        out << '\n';
    }
}

// The kind as a word for scripts; the number stays beside it as kindCode.
QString KindName(int kind)
{
    switch (kind) {
    case kinds::kText:
        return "text";
    case kinds::kFargo2Library:
        return "fargo2-library";
    case kinds::kFargo2Program:
        return "fargo2-program";
    case kinds::kFargo1Library:
        return "fargo1-library";
    case kinds::kFargo1Program:
        return "fargo1-program";
    case kinds::kGroup:
        return "group";
    case kinds::kSingle + ti92::kBackupType:
        return "backup";
    default:
        return kind > kinds::kSingle ? "single" : "none";
    }
}

QString Utf8(const std::string& calculatorBytes)
{
    return QString::fromStdString(ti92text::ToUtf8(calculatorBytes));
}

// One file: the same fields whether it is named alone or listed in a folder.
QJsonObject FileJson(const std::string& path, const FileInfo& f)
{
    const VariableFileType& i = f.info;
    QJsonArray variables, libraries;
    for (const ListItem& v : f.variables)
        variables.append(QJsonObject{{"name", Utf8(v.caption)},
                                     {"type", QString::fromStdString(v.subItems.empty() ? "" : v.subItems[0])}});
    for (const std::string& l : i.libraries)
        libraries.append(Utf8(l));
    return QJsonObject{{"file", QString::fromStdString(path)},
                       {"kind", KindName(i.kind)},
                       {"kindCode", i.kind},
                       {"kindText", QString::fromStdString(KindText(i.kind))},
                       {"comment", QString::fromStdString(ShownCommentUtf8(i))},
                       {"description", Utf8(i.description)},
                       {"size", static_cast<qint64>(i.size)},
                       {"sizeText", QString::fromStdString(SizeText(i.size))},
                       {"entries", static_cast<qint64>(i.entryCount)},
                       {"variables", variables},
                       {"libraries", libraries}};
}

// Classifies the file and lists its variables; throws what ClassifyFile throws.
FileInfo Describe(const std::string& path)
{
    FileInfo f;
    f.info.path = path;
    ClassifyFile(f.info);
    if (HasVariables(f.info.kind))
        f.variables = ListIncludedVariables(path);
    return f;
}

void PrintJson(std::ostream& out, const QJsonArray& files)
{
    out << QJsonDocument(files).toJson(QJsonDocument::Indented).toStdString();
}

// A folder the way the file browser lists it.
void PrintFolder(std::ostream& out, const std::string& folder, const std::vector<ListItem>& rows, bool json)
{
    if (json) {
        QJsonArray files;
        for (const ListItem& r : rows) {
            if (r.subItems.size() < 3)
                continue;  // the "(no files to show)" row
            const std::string path = (std::filesystem::path(folder) / r.caption).string();
            try {
                files.append(FileJson(path, Describe(path)));
            } catch (const std::exception&) {
                // Gone or unreadable since it was listed: listed with what the row knows.
                FileInfo f;
                f.info.path = path;
                files.append(FileJson(path, f));
            }
        }
        PrintJson(out, files);
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
    static const std::pair<const char*, int> kKeys[] = {{"name", 0}, {"comment", 1}, {"type", 2}, {"size", 3}};
    return WordValue(name, kKeys, "unknown sort key '" + name + "' (name, comment, type or size)");
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
        PrintFolder(context.out, paths[0], ListFiles(paths[0], filter, sortKey), json);
        return 0;
    }

    int status = exitstatus::kSuccess;
    QJsonArray files;
    for (const std::string& path : paths) {
        FileInfo f;
        try {
            f = Describe(path);
        } catch (const std::exception& e) {
            context.Fail(path, ConsoleErrorLine(e, context.options.verbose));
            status = exitstatus::kError;
            continue;
        }
        if (f.info.kind == kinds::kNone) {
            context.Fail(path, "not a TI-92 file (nor a .txt text file)");
            status = exitstatus::kError;
            continue;
        }
        if (f.info.kind >= kinds::kFargo2Library && f.info.kind != kinds::kSingle + ti92::kBackupType &&
            ListIncludedVariables(path).empty()) {
            context.Fail(path, "a TI-92 file that holds no variables");
            status = exitstatus::kError;
            continue;
        }
        if (json)
            files.append(FileJson(path, f));
        else
            PrintText(context.out, path, f);
    }
    // A file alone that fails leaves standard output empty: no list to read.
    if (json && (paths.size() > 1 || !files.isEmpty()))
        PrintJson(context.out, files);
    return status;
}
