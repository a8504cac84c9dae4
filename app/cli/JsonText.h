#pragma once
#include <string>

// Text as a JSON string literal in UTF-8: quotes, backslashes and control
// characters escaped; bytes that are not valid UTF-8 are taken as Latin-1,
// so the output is always valid JSON.
std::string JsonText(const std::string& text);

// Calculator bytes (names, comments) as a JSON string, decoded from the
// calculator's character set.
std::string CalculatorJson(const std::string& calculatorBytes);
