#pragma once
#include <cstddef>
#include <string>
#include <utility>

#include "cmdline/CommandLine.h"

// An option's word looked up in its table of (word, value) rows. A word the
// table lacks is a usage error with the caller's text, which names the word
// given and the words allowed.
template <typename T, std::size_t N>
T WordValue(const std::string& word, const std::pair<const char*, T> (&rows)[N], const std::string& error)
{
    for (const auto& [name, value] : rows)
        if (word == name)
            return value;
    throw UsageError(error);
}
