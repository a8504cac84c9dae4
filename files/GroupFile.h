#pragma once
// Variable files taken apart and put together: the variables of a single or
// group file read into memory, checked, edited and written anew through the
// same planning and writer as a save of received variables, so an edited
// group is byte for byte the file a save of the same variables makes. Used by
// linkwise-cli group/ungroup and the file browser. Failures throw EFileError
// naming the file and the variable.
#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "files/ByteSource.h"

// One variable of a file: its folder as the table gives it (empty when the
// file names none), its name, and its size word and data bytes.
struct FileVariable {
    std::string folder;
    std::string name;
    uint8_t type = 0;
    std::string data;
    std::string source;  // the file it came from, for messages

    // folder\name, or the name alone without a folder.
    std::string FullName() const;
};

struct FileVariables {
    std::string comment;  // up to the first NUL
    std::vector<FileVariable> variables;
};

// Every variable of a single-variable or group file, in table order. Refused
// (EFileError naming `shown`): a file that is not a TI-92 file, a backup, and
// a damaged file (a table cut short, a data part past the end of the file or
// not where the table puts it, a wrong checksum).
FileVariables ReadFileVariables(const ByteSource& file, const std::string& shown);
FileVariables ReadFileVariables(const std::filesystem::path& path);

// The calculator's name comparison: letters without regard to case.
bool SameVariableName(const std::string& a, const std::string& b);

// The variables as one file: a single-variable file for one, a group file
// with folder entries for several, as a save of received variables with these
// folder\name names writes it.
void WriteVariableFile(std::ostream& out, const std::vector<FileVariable>& variables, const std::string& comment);
// The same through the safe replacing save: the target changes only when the
// whole file is written.
void SaveVariableFile(const std::string& path, const std::vector<FileVariable>& variables, const std::string& comment);

// Throws EFileError, before anything is written, when the variables cannot
// make one file: a variable two of them hold (same folder in the written file
// and same name; both sources named), or more entries than a file holds.
void CheckGroupable(const std::vector<FileVariable>& variables);

// The folder a variable lands in when the variables are written together: a
// variable without a folder joins the one before it.
std::vector<std::string> WrittenFolders(const std::vector<FileVariable>& variables);

// A new name for variables[index], lower-cased, checked by the calculator's
// rules and unique in its folder; throws EFileError otherwise.
void RenameVariable(std::vector<FileVariable>& variables, size_t index, const std::string& newName);
