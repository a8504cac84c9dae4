#pragma once
#include <string>
#include <utility>
#include <vector>

#include "app/settings/SettingsStore.h"

// Settings held in memory: for tests and for runs that must not touch the
// user's own store. Keeps the order of the writes.
class MemorySettingsStore : public SettingsStore {
public:
    std::optional<std::string> Read(const std::string& section, const std::string& name) override;
    void Write(const std::string& section, const std::string& name, const std::string& value) override;

    struct Entry {
        std::string section, name, value;
    };
    std::vector<Entry> values;  // current values, in the order first written
    std::vector<Entry> writes;  // every write, in order

private:
    Entry* Find(const std::string& section, const std::string& name);
};

// Case-insensitive comparison of ASCII names.
bool SameSettingName(const std::string& a, const std::string& b);
