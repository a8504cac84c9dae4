#pragma once
#include <string>

// Calculator text (names, comments, descriptions) as UTF-8 for a terminal:
// the calculator's character set decoded, control codes shown as spaces.
std::string Printable(const std::string& calculatorBytes);

// UTF-8 text with its control characters shown as spaces.
std::string PrintableUtf8(const std::string& utf8);
