#include <unistd.h>

#include <QBuffer>
#include <QImage>
#include <fstream>
#include <iostream>
#include <ostream>

#include "app/cli/CliCommands.h"
#include "app/cli/ConsoleDialogs.h"
#include "app/cli/PrintableText.h"
#include "files/ByteSource.h"
#include "files/EntryTable.h"
#include "files/VariableViewing.h"
#include "files/widgets/PictureImage.h"
#include "link/Exceptions.h"

namespace {

// The position among the file's variables of the one named, or of the only one.
size_t ChooseVariable(const ByteSource& file, const std::string& name)
{
    EntryTable table = ReadEntryTable(file);
    std::vector<std::string> names;
    for (const FileEntry& e : table.entries)
        if (!e.IsFolder())
            names.push_back(e.folder.empty() ? e.name : e.folder + "\\" + e.name);
    if (name.empty()) {
        if (names.size() >= 2)
            throw CliUsageError("You can only view single-text- or single-imagefiles! Choose one "
                                "variable of the group file with --var NAME.");
        return 0;
    }
    for (size_t k = 0; k < names.size(); ++k)
        if (names[k] == name || names[k].substr(names[k].find('\\') + 1) == name)
            return k;
    throw EFileError("The file holds no variable " + name + ".");
}

void WritePng(const QImage& image, const std::string& out, std::ostream& stdOut)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        throw EFileError("Cannot encode the picture as PNG.");
    if (out == "-") {
        stdOut.write(png.constData(), png.size());
        stdOut.flush();
        return;
    }
    std::ofstream file(out, std::ios::binary | std::ios::trunc);
    file.write(png.constData(), png.size());
    file.close();
    if (!file)
        throw EFileError("Cannot write file " + out + ".");
}

}  // namespace

namespace {
int ViewFile(CliContext& context, const std::string& path, std::string out, const std::string& var);
}

int RunView(CliContext& context, const ParsedOptions& args)
{
    std::string out = args.Value("output");
    const std::string var = args.Value("var");
    if (args.positional.size() != 1)
        throw CliUsageError(args.positional.empty() ? "needs a file" : "takes one file");
    const std::string path = args.positional.front();
    try {
        return ViewFile(context, path, out, var);
    } catch (const ELinkwiseError& e) {
        context.Fail(path, ConsoleErrorLine(e, context.options.verbose));
        return exitstatus::kError;
    }
}

namespace {
int ViewFile(CliContext& context, const std::string& path, std::string out, const std::string& var)
{
    DiskBytes file(path);
    ViewedVariable v = ExtractData(file, ChooseVariable(file, var));
    if (v.kind == ViewedVariable::Kind::Picture) {
        if (out.empty()) {
            if (isatty(STDOUT_FILENO))
                throw CliUsageError("a picture needs -o OUT.png (or -o - for standard output)");
            out.assign(1, '-');
        }
        WritePng(PictureImage(v.picture), out, context.out);
        if (out != "-")
            context.err << v.StatusText() << ": " << v.picture.Width() << " x " << v.picture.Height()
                        << " pixels written to " << out << '\n';
        return 0;
    }
    std::ofstream file2;
    std::ostream* text = &context.out;
    if (!out.empty() && out != "-") {
        file2.open(out, std::ios::trunc);
        text = &file2;
    }
    // Each line starts with the paragraph byte, a space nobody typed.
    for (const std::string& line : v.lines)
        *text << PrintableUtf8(std::string(WithoutParagraphByte(line))) << '\n';
    if (file2.is_open()) {
        file2.close();
        if (!file2)
            throw EFileError("Cannot write file " + out + ".");
    }
    if (const std::string note = UnmappedCodesNote(v.unmapped); !note.empty())
        context.Note(note);
    return 0;
}
}  // namespace
