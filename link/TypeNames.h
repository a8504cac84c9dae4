#pragma once
#include <array>
#include <string>

using TypeNameTable = std::array<std::string, 32>;

// Names of the variable type codes 0x00..0x1F; codes without a name are empty.
const TypeNameTable& DefaultTypeNames();

// Name for any received code; codes of 32 and more have no name.
std::string TypeName(int code);
