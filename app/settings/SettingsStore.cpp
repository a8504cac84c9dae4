#include "app/settings/SettingsStore.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>

std::optional<int> ParseSettingInteger(const std::string& text)
{
    if (text.empty())
        return std::nullopt;
    const char* s = text.c_str();
    int base = 10;
    const char* digits = s;
    bool negative = false;
    if (text.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        digits = s + 2;
    } else if (s[0] == '-' || s[0] == '+') {
        negative = s[0] == '-';
        digits = s + 1;
    }
    if (*digits == '\0')
        return std::nullopt;
    for (const char* p = digits; *p; ++p) {
        bool ok = base == 16 ? std::isxdigit(static_cast<unsigned char>(*p)) != 0 : (*p >= '0' && *p <= '9');
        if (!ok)
            return std::nullopt;
    }
    errno = 0;
    unsigned long long v = std::strtoull(digits, nullptr, base);
    if (errno == ERANGE)
        return std::nullopt;
    if (base == 16) {
        // Hex text is a bit pattern of up to 32 bits, so "0xFFFFFFFF" reads
        // back as -1, the value whose bits were written.
        if (v > 0xFFFFFFFFull)
            return std::nullopt;
        return static_cast<int>(static_cast<uint32_t>(v));
    }
    if (negative ? v > static_cast<unsigned long long>(INT_MAX) + 1 : v > INT_MAX)
        return std::nullopt;
    return negative ? static_cast<int>(-static_cast<long long>(v)) : static_cast<int>(v);
}

int ReadInteger(SettingsStore& store, const std::string& section, const std::string& name, int def)
{
    auto text = store.Read(section, name);
    if (!text)
        return def;
    return ParseSettingInteger(*text).value_or(def);
}

bool ReadBool(SettingsStore& store, const std::string& section, const std::string& name, int def)
{
    return ReadInteger(store, section, name, def) != 0;
}

std::string ReadText(SettingsStore& store, const std::string& section, const std::string& name, const std::string& def)
{
    return store.Read(section, name).value_or(def);
}

void WriteInteger(SettingsStore& store, const std::string& section, const std::string& name, int v)
{
    store.Write(section, name, std::to_string(v));
}

void WriteBool(SettingsStore& store, const std::string& section, const std::string& name, bool v)
{
    store.Write(section, name, v ? "1" : "0");
}
