#include "files/GroupFile.h"

#include <algorithm>

#include "files/EntryTable.h"
#include "files/FileFormat.h"
#include "files/ReplacingFile.h"
#include "files/SaveAs92g.h"
#include "files/TempStore.h"
#include "files/TextConversion.h"
#include "files/Ti92Charset.h"
#include "files/VariableFileWriter.h"
#include "link/Exceptions.h"

namespace {

std::string Shown(const std::string& name)
{
    return ti92text::ToUtf8(name);
}

std::string Lower(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// The data part as the table places it: zero prefix, size word, data and a
// checksum that matches; readers that only send a file skip these checks, an
// edit that writes the data anew must not copy damage into a good-looking file.
std::string CheckedData(const ByteSource& file, const FileEntry& e, const std::string& shown)
{
    const std::string where = shown + ": the variable " + Shown(e.folder.empty() ? e.name : e.folder + "\\" + e.name);
    std::string data;
    try {
        data = ReadVariableData(file, e);
    } catch (const EFileError&) {
        throw EFileError(where + " runs past the end of the file; the file is damaged.");
    }
    const std::string prefix = ReadAvailableAt(file, e.dataOffset, 4);
    const uint64_t end = uint64_t(e.dataOffset) + data.size() + 4;
    if (prefix != std::string(4, '\0') || uint64_t(e.nextOffset) != end + 2)
        throw EFileError(where + " is not where the file's table puts it; the file is damaged.");
    uint32_t sum = 0;
    for (unsigned char c : data)
        sum += c;
    if (ReadWordLE(file, end) != (sum & 0xFFFF))
        throw EFileError(where + " has a wrong checksum; the file is damaged.");
    return data;
}

std::vector<IndexRecord> Records(const std::vector<FileVariable>& variables)
{
    std::vector<IndexRecord> records;
    for (const FileVariable& v : variables) {
        IndexRecord r;
        r.name = v.FullName();
        r.type = v.type;
        r.length = static_cast<int32_t>(v.data.size());
        records.push_back(r);
    }
    return records;
}

}  // namespace

std::string FileVariable::FullName() const
{
    return folder.empty() ? name : folder + "\\" + name;
}

FileVariables ReadFileVariables(const ByteSource& file, const std::string& shown)
{
    if (!IsVariableFile(file))
        throw EFileError(shown + " is not a TI-92 file.");
    if (ShapeOf(file) == FileShape::Backup)
        throw EFileError(shown + " is a memory backup, not a file of variables.");
    const EntryTable table = ReadEntryTable(file);
    if (table.truncated)
        throw EFileError(shown + " ends inside its table of entries; the file is damaged.");
    FileVariables result;
    result.comment = CopyUntilNul(table.comment, ti92::kCommentLength);
    for (const FileEntry& e : table.entries) {
        if (e.IsFolder())
            continue;
        if (e.type == ti92::kBackupType)
            throw EFileError(shown + " holds a memory backup among its variables; the file is damaged.");
        result.variables.push_back({e.folder, e.name, e.type, CheckedData(file, e, shown), shown});
    }
    if (result.variables.empty())
        throw EFileError(shown + " holds no variables.");
    return result;
}

FileVariables ReadFileVariables(const std::filesystem::path& path)
{
    return ReadFileVariables(DiskBytes(path), path.string());
}

bool SameVariableName(const std::string& a, const std::string& b)
{
    return Lower(a) == Lower(b);
}

std::vector<std::string> WrittenFolders(const std::vector<FileVariable>& variables)
{
    std::vector<std::string> folders;
    std::string current;
    for (const FileVariable& v : variables) {
        if (!v.folder.empty() && variables.size() > 1)
            current = v.folder;
        folders.push_back(variables.size() > 1 ? current : v.folder);
    }
    return folders;
}

void CheckGroupable(const std::vector<FileVariable>& variables)
{
    const std::vector<std::string> folders = WrittenFolders(variables);
    for (size_t i = 0; i < variables.size(); ++i)
        for (size_t j = 0; j < i; ++j)
            if (SameVariableName(folders[i], folders[j]) && SameVariableName(variables[i].name, variables[j].name))
                throw EFileError("The variable " + Shown(variables[i].FullName()) + " is in both " +
                                 variables[j].source + " and " + variables[i].source +
                                 "; a file holds it once. Nothing was written.");
    const size_t entries = PlanEntries(Records(variables), true).entries.size();
    if (entries > ti92::kMaxEntries)
        throw EFileError("The variables make " + std::to_string(entries) + " entries, folders included; a TI-92 file " +
                         "holds at most " + std::to_string(ti92::kMaxEntries) + ". Nothing was written.");
}

void WriteVariableFile(std::ostream& out, const std::vector<FileVariable>& variables, const std::string& comment)
{
    CheckGroupable(variables);
    const std::vector<IndexRecord> records = Records(variables);
    const SavePlan plan = PlanEntries(records, true);
    VariableFileWriter writer(out);
    writer.WriteHeader(plan.defaultFolder, comment, plan.entries.size());
    WritePlannedTable(writer, plan, records, false);
    for (const FileVariable& v : variables)
        writer.WriteDataPart(v.data, false);
    writer.Finish();
}

void SaveVariableFile(const std::string& path, const std::vector<FileVariable>& variables, const std::string& comment)
{
    CheckGroupable(variables);
    ReplacingFile file(path);
    WriteVariableFile(file.Stream(), variables, comment);
    file.Commit();
}

void RenameVariable(std::vector<FileVariable>& variables, size_t index, const std::string& newName)
{
    const std::string name = Lower(newName);
    if (!IsValidVariableName(name))
        throw EFileError("\"" + newName + "\" is not a valid TI-92 name: 1 to 8 letters, digits or _, " +
                         "starting with a letter.");
    const std::vector<std::string> folders = WrittenFolders(variables);
    for (size_t i = 0; i < variables.size(); ++i)
        if (i != index && SameVariableName(folders[i], folders[index]) && SameVariableName(variables[i].name, name))
            throw EFileError("The folder " + Shown(folders[index].empty() ? "main" : folders[index]) +
                             " already holds a variable " + name + ".");
    variables.at(index).name = name;
}
