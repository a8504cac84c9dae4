#pragma once
#include <string>

// A byte string as a JSON string literal; bytes outside printable ASCII are
// escaped one by one, so calculator names survive whatever they contain.
std::string JsonText(const std::string& bytes);
