#include <ostream>

#include "app/cli/CliCommands.h"
#include "files/ClassifyFile.h"
#include "files/FileFormat.h"
#include "files/FileListing.h"
#include "link/Exceptions.h"
#include "app/cli/JsonText.h"

namespace {

struct FileInfo {
    VariableFileType info;
    std::vector<ListItem> variables;
};

// Calculator text as UTF-8 for a terminal: control bytes become spaces and
// bytes above 127 are taken as Latin-1.
std::string Printable(const std::string& bytes)
{
    std::string out;
    for (unsigned char c : bytes) {
        if (c < 0x20 || c == 0x7F) {
            out += ' ';
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// The comment as the browser shows it: up to its first NUL.
std::string ShownComment(const VariableFileType& info)
{
    return CopyUntilNul(info.comment, info.comment.size());
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
    out << "  Comment: " << Printable(ShownComment(i)) << '\n';
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
        << ", \"kindText\": " << JsonText(KindText(i.kind)) << ", \"comment\": " << JsonText(ShownComment(i))
        << ", \"description\": " << JsonText(i.description) << ", \"size\": " << i.size
        << ", \"sizeText\": " << JsonText(SizeText(i.size)) << ", \"entries\": " << i.entryCount
        << ", \"variables\": [";
    for (size_t k = 0; k < f.variables.size(); ++k) {
        const ListItem& v = f.variables[k];
        out << (k ? ", " : "") << "{\"name\": " << JsonText(v.caption)
            << ", \"type\": " << JsonText(v.subItems.empty() ? "" : v.subItems[0]) << "}";
    }
    out << "], \"libraries\": [";
    for (size_t k = 0; k < i.libraries.size(); ++k)
        out << (k ? ", " : "") << JsonText(i.libraries[k]);
    out << "]}";
}

}  // namespace

int RunInfo(CliContext& context, const std::vector<std::string>& args)
{
    bool json = false;
    std::vector<std::string> paths;
    for (const std::string& a : args) {
        if (a == "--json")
            json = true;
        else if (a.size() > 1 && a[0] == '-')
            throw CliUsageError("unknown option '" + a + "' for 'info'");
        else
            paths.push_back(a);
    }
    if (paths.empty())
        throw CliUsageError("'info' needs at least one file");

    int status = 0;
    bool first = true;
    if (json)
        context.out << "[";
    for (const std::string& path : paths) {
        FileInfo f;
        f.info.path = path;
        try {
            ClassifyFile(f.info);
            if (HasVariables(f.info.kind))
                f.variables = ListIncludedVariables(path);
        } catch (const std::exception& e) {
            context.err << path << ": " << ErrorClassName(e) << ": " << e.what() << '\n';
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
