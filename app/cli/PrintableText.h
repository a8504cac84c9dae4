#pragma once
#include <string>

// Calculator text as UTF-8 for a terminal: control bytes become spaces and
// bytes above 127 are taken as Latin-1.
std::string Printable(const std::string& bytes);
