#pragma once
#include <cstdint>
#include <optional>
#include <string>

// TI-92 key codes of the keys that type no plain character; a character key
// sends its character code.
namespace CalcKey {
constexpr uint16_t Enter = 13;
constexpr uint16_t Backspace = 257;
constexpr uint16_t Sto = 258;
constexpr uint16_t Clear = 263;
constexpr uint16_t Esc = 264;
constexpr uint16_t Apps = 265;
constexpr uint16_t Mode = 266;
constexpr uint16_t On = 267;
constexpr uint16_t F1 = 268;  // F1..F8 are 268..275
constexpr uint16_t Left = 337;
constexpr uint16_t Up = 338;
constexpr uint16_t Right = 340;
constexpr uint16_t Down = 344;
constexpr uint16_t Ins = 4353;
constexpr uint16_t Quit = 4360;  // 2nd ESC
constexpr uint16_t Del = 8449;
constexpr uint16_t Home = 8273;  // diamond Q

struct Named {
    const char* name;
    uint16_t code;
};

constexpr Named kNames[] = {
    {"ENTER", Enter}, {"ESC", Esc},   {"BACKSPACE", Backspace}, {"F1", F1},       {"F2", F1 + 1},
    {"F3", F1 + 2},   {"F4", F1 + 3}, {"F5", F1 + 4},           {"F6", F1 + 5},   {"F7", F1 + 6},
    {"F8", F1 + 7},   {"LEFT", Left}, {"RIGHT", Right},         {"UP", Up},       {"DOWN", Down},
    {"APPS", Apps},   {"STO", Sto},   {"MODE", Mode},           {"CLEAR", Clear}, {"INS", Ins},
    {"DEL", Del},
};

// The code of a key name, in any case; nothing for an unknown name.
inline std::optional<uint16_t> CodeOf(const std::string& name)
{
    for (const Named& n : kNames) {
        const std::string known = n.name;
        if (known.size() != name.size())
            continue;
        bool same = true;
        for (size_t i = 0; i < known.size() && same; ++i)
            same = known[i] == (name[i] >= 'a' && name[i] <= 'z' ? name[i] - 'a' + 'A' : name[i]);
        if (same)
            return n.code;
    }
    return std::nullopt;
}

// The name of a code, or nothing when it has none.
inline const char* NameOf(uint16_t code)
{
    for (const Named& n : kNames)
        if (n.code == code)
            return n.name;
    return nullptr;
}
}  // namespace CalcKey
