#pragma once
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

// Byte strings written as hex, e.g. Hex("09 A2 06 00").
inline std::string Hex(const std::string& text)
{
    std::istringstream in(text);
    std::string s, tok;
    while (in >> tok)
        s += static_cast<char>(std::strtoul(tok.c_str(), nullptr, 16));
    return s;
}

inline std::string ToHex(const std::string& bytes)
{
    std::string out;
    char buf[4];
    for (unsigned char c : bytes) {
        std::snprintf(buf, sizeof buf, "%02X", c);
        if (!out.empty())
            out += ' ';
        out += buf;
    }
    return out;
}
