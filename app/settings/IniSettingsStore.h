#pragma once
#include <memory>
#include <string>

#include "app/settings/SettingsStore.h"

class QSettings;

// The settings as an INI file, by default ~/.config/linkwise/linkwise.ini.
class IniSettingsStore : public SettingsStore {
public:
    // An empty path means the user's own file. Throws EFileError for a path
    // that names something other than a regular file (a FIFO, a device).
    explicit IniSettingsStore(const std::string& path = {});
    ~IniSettingsStore() override;
    // Throws EFileError unless `path` is empty, missing or a regular file.
    static void CheckPath(const std::string& path);

    std::optional<std::string> Read(const std::string& section, const std::string& name) override;
    void Write(const std::string& section, const std::string& name, const std::string& value) override;
    void Flush() override;
    std::string FileName() const;

private:
    // The key as stored, found without regard to case, or nothing.
    std::optional<std::string> StoredKey(const std::string& section, const std::string& name);
    std::unique_ptr<QSettings> fSettings;
};
