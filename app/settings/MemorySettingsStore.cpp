#include "app/settings/MemorySettingsStore.h"

#include <cctype>

bool SameSettingName(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

MemorySettingsStore::Entry* MemorySettingsStore::Find(const std::string& section, const std::string& name)
{
    for (auto& e : values)
        if (SameSettingName(e.section, section) && SameSettingName(e.name, name))
            return &e;
    return nullptr;
}

std::optional<std::string> MemorySettingsStore::Read(const std::string& section, const std::string& name)
{
    if (Entry* e = Find(section, name))
        return e->value;
    return std::nullopt;
}

void MemorySettingsStore::Write(const std::string& section, const std::string& name, const std::string& value)
{
    writes.push_back({section, name, value});
    if (Entry* e = Find(section, name))
        e->value = value;
    else
        values.push_back({section, name, value});
}
