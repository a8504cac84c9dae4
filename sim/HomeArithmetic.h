#pragma once
#include <optional>
#include <string>

// What the virtual TI-92's home screen answers to an entry: numbers with
// + - * / ^, parentheses and a leading minus. Nothing when the entry is not
// such a sum (the home screen then repeats the entry, as for a symbol).
std::optional<std::string> EvaluateEntry(const std::string& entry);
