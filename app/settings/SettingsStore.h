#pragma once
#include <optional>
#include <string>

// Per-user store of text values in sections ("Settings", "Last"). Names are
// matched without regard to case; a value written under a name that already
// exists in another case replaces it.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::optional<std::string> Read(const std::string& section, const std::string& name) = 0;
    virtual void Write(const std::string& section, const std::string& name, const std::string& value) = 0;
    // Makes the written values durable.
    virtual void Flush() {}
};

// Typed reads: integers are decimal or "0x"/"0X" hexadecimal text; anything
// else, or a missing value, gives the default. Booleans are integers, true
// when not 0.
int ReadInteger(SettingsStore& store, const std::string& section, const std::string& name, int def);
bool ReadBool(SettingsStore& store, const std::string& section, const std::string& name, int def);
std::string ReadText(SettingsStore& store, const std::string& section, const std::string& name, const std::string& def);
void WriteInteger(SettingsStore& store, const std::string& section, const std::string& name, int v);
void WriteBool(SettingsStore& store, const std::string& section, const std::string& name, bool v);

// Decimal (optionally signed) or 0x-hex text as an integer; nothing when the
// text is not a number or does not fit.
std::optional<int> ParseSettingInteger(const std::string& text);
