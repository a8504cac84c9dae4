#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Command codes of the command line.
enum ParamCommand : uint8_t { cmdSEND = 1, cmdCONVERT = 2, cmdEXIT = 3, cmdVIEW = 4 };

// What the command line asked for; filled once at start.
struct ParamCommandsType {
    uint16_t Commands = 0;  // bit n set: command code n present
    std::string FileName;
    std::string SecondFileName;
    bool ParamMode = false;

    bool Has(ParamCommand c) const { return (Commands >> c) & 1; }
    void Add(ParamCommand c) { Commands = static_cast<uint16_t>(Commands | (1u << c)); }
    void Remove(ParamCommand c) { Commands = static_cast<uint16_t>(Commands & ~(1u << c)); }
};

// The parameter walk. A parameter that is a keyword as a whole (SEND,
// CONVERT, EXIT, VIEW, in any case) gives its command; every other one
// names a file, and the existing ones are taken (the first becomes FileName,
// any later one SecondFileName). A file's folder or name never gives a
// command. SEND when no keyword is given. File names keep their case: the
// file system's names are case-sensitive. ParamMode is left for the caller.
ParamCommandsType ReadParamCommands(const std::vector<std::string>& params);

// SEND or CONVERT asked for with parameters given, but no file among them.
bool MissingParamFile(const ParamCommandsType& commands, size_t paramCount);
