#include "app/desktop/DesktopFiles.h"

#include "link/Exceptions.h"

namespace {

std::string MimeTypeList()
{
    std::string list;
    for (const Ti92MimeType& m : Ti92MimeTypes())
        list += m.type + ";";
    return list;
}

}  // namespace

std::vector<Ti92MimeType> Ti92MimeTypes()
{
    static const struct {
        const char* extension;
        const char* kind;
        const char* comment;
    } kTypes[] = {
        {"92g", "group", "TI-92 group file"},   {"92e", "expression", "TI-92 expression"},
        {"92l", "list", "TI-92 list"},          {"92m", "matrix", "TI-92 matrix"},
        {"92c", "data", "TI-92 data variable"}, {"92t", "text", "TI-92 text"},
        {"92s", "string", "TI-92 string"},      {"92d", "gdb", "TI-92 graph database"},
        {"92a", "figure", "TI-92 figure"},      {"92i", "picture", "TI-92 picture"},
        {"92p", "program", "TI-92 program"},    {"92f", "function", "TI-92 function"},
        {"92x", "macro", "TI-92 macro"},        {"92b", "backup", "TI-92 memory backup"},
    };
    std::vector<Ti92MimeType> types;
    for (const auto& t : kTypes)
        types.push_back({t.extension, std::string("application/x-ti92-") + t.kind, t.comment});
    return types;
}

std::string MimePackageText()
{
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n";
    for (const Ti92MimeType& m : Ti92MimeTypes()) {
        std::string upper = m.extension;
        upper.back() = static_cast<char>(upper.back() - 'a' + 'A');
        text += "  <mime-type type=\"" + m.type +
                "\">\n"
                "    <comment>" +
                m.comment +
                "</comment>\n"
                "    <glob pattern=\"*." +
                m.extension +
                "\" case-sensitive=\"true\"/>\n"
                "    <glob pattern=\"*." +
                upper +
                "\" case-sensitive=\"true\"/>\n"
                "  </mime-type>\n";
    }
    return text + "</mime-info>\n";
}

std::string ExecArgument(const std::string& argument)
{
    // Always quoted: a path may hold anything, and a quoted one reads the same
    // to every launcher.
    // A line break would end the Exec line and start another of the path's
    // making; no launcher reads other control characters back either.
    for (char c : argument)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            throw EFileError("The program's path " + argument.substr(0, argument.find_first_of("\r\n")) +
                             "... holds a control character, which a desktop entry cannot carry.");
    std::string quoted = "\"";
    for (char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        // "%" starts a field code anywhere in the line; "%%" is a plain one.
        if (c == '%')
            quoted += '%';
        quoted += c;
    }
    quoted += '"';
    // The entry's string value escapes each backslash once more.
    std::string value;
    for (char c : quoted) {
        if (c == '\\')
            value += '\\';
        value += c;
    }
    return value;
}

std::string SendEntryText(const std::string& program)
{
    const std::string exe = ExecArgument(program);
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Linkwise\n"
           "GenericName=Send to calculator\n"
           "Comment=Send files to a TI-92 calculator and receive them through a link cable\n"
           // Without a file the window starts plainly; a file alone is sent.
           "Exec=" +
           exe +
           " %f\n"
           "Icon=linkwise\n"
           "Terminal=false\n"
           "Categories=Utility;\n"
           "Keywords=TI-92;calculator;link cable;graph-link;screenshot;backup;\n"
           "MimeType=" +
           MimeTypeList() +
           "\n"
           "Actions=Send;Convert;\n"
           "\n"
           "[Desktop Action Send]\n"
           "Name=Send to calculator\n"
           "Exec=" +
           exe +
           " SEND %f\n"
           "\n"
           "[Desktop Action Convert]\n"
           "Name=Convert to TI92-file\n"
           "Exec=" +
           exe + " CONVERT %f\n";
}

std::string ConvertEntryText(const std::string& program)
{
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Linkwise converter\n"
           "GenericName=Convert to TI92-file\n"
           "Comment=Convert a text file into a TI-92 text file\n"
           "Exec=" +
           ExecArgument(program) +
           " CONVERT %f\n"
           "Icon=linkwise\n"
           "Terminal=false\n"
           "NoDisplay=true\n";
}

std::string ServiceMenuText(const std::string& program)
{
    return "[Desktop Entry]\n"
           "Type=Service\n"
           "MimeType=text/plain;\n"
           "Actions=convertToTi92Text;\n"
           "X-KDE-ServiceTypes=KonqPopupMenu/Plugin\n"
           "\n"
           "[Desktop Action convertToTi92Text]\n"
           "Name=" +
           std::string(kConvertActionName) +
           "\n"
           "Icon=linkwise\n"
           "Exec=" +
           ExecArgument(program) + " CONVERT %f\n";
}

std::string NemoActionText(const std::string& program)
{
    return "[Nemo Action]\n"
           "Name=" +
           std::string(kConvertActionName) +
           "\n"
           "Comment=Convert the text file into a TI-92 text file\n"
           "Exec=" +
           program +
           " CONVERT %F\n"
           "Icon-Name=linkwise\n"
           "Selection=s\n"
           "Mimetypes=text/plain;\n"
           "Dependencies=" +
           program + ";\n";
}
