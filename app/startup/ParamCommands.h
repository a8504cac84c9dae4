#pragma once
#include <cstdint>
#include <string>

// Command codes of the command line.
enum ParamCommand : uint8_t { cmdSEND = 1, cmdCONVERT = 2, cmdEXIT = 3, cmdVIEW = 4 };

// What the command line asked for; filled once at start.
struct ParamCommandsType {
    uint16_t Commands = 0;   // bit n set: command code n present
    std::string FileName;
    std::string SecondFileName;
    bool ParamMode = false;

    bool Has(ParamCommand c) const { return (Commands >> c) & 1; }
    void Add(ParamCommand c) { Commands = static_cast<uint16_t>(Commands | (1u << c)); }
};
