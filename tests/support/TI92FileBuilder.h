#pragma once
#include <cstdint>
#include <string>
#include <vector>

// TI-92 files built by hand for tests, independent of the program's writer.
struct BuiltEntry {
    std::string name;
    uint8_t type = 0;
    std::string data;  // the variable's data bytes, without the size word
    static BuiltEntry Folder(const std::string& name) { return {name, 0x1F, {}}; }
};

// A single-variable or group file: header, table, A5 5A, data parts.
std::string VariableFileBytes(const std::string& defaultFolder, const std::string& comment,
                              const std::vector<BuiltEntry>& entries);

// Data of Fargo programs and libraries as the classifier reads them.
std::string Fargo1ProgramData(const std::vector<std::string>& libraries, const std::string& description);
std::string Fargo2ProgramData(const std::vector<std::string>& libraries, const std::string& description);
std::string Fargo1LibraryData();
std::string Fargo2LibraryData();

// A text variable's data holding these lines, each with its leading space.
std::string TextVariableData(const std::vector<std::string>& lines);

void WriteBytes(const std::string& path, const std::string& bytes);
