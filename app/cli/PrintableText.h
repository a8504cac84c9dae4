#pragma once
#include <string>

// Calculator text (names, comments, descriptions) as UTF-8 for a terminal:
// the calculator's character set decoded, control codes shown as spaces.
std::string Printable(const std::string& calculatorBytes);

// UTF-8 text with its control characters (C0, DEL and C1) shown as spaces.
std::string PrintableUtf8(const std::string& utf8);

// A message for the terminal that may carry calculator bytes inside UTF-8
// text (a file path, say): valid UTF-8 stays, any other byte is shown as
// Printable shows it, and control characters become spaces; line breaks stay.
std::string PrintableMessage(const std::string& text);
