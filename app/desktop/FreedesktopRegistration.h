#pragma once
#include <string>

// The user's freedesktop folders: $XDG_DATA_HOME (~/.local/share) and
// $XDG_CONFIG_HOME (~/.config).
struct DesktopFolders {
    std::string dataHome;
    std::string configHome;
};
DesktopFolders UserDesktopFolders();

// Registers Linkwise for the TI-92 file types in the user's folders (no
// root needed): the MIME package, both desktop entries naming `program`,
// Linkwise as the default application of the 14 types in mimeapps.list,
// then update-mime-database and update-desktop-database when present.
// Text files keep the default they had: it is written into mimeapps.list,
// so the converter's entry only adds itself to their handlers.
// Throws EFileError when a file cannot be written.
void RegisterFileTypes(const DesktopFolders& folders, const std::string& program);

// The desktop file id of the default application for a MIME type, as
// `xdg-mime query default` reports it; without xdg-mime, as the user's
// mimeapps.list names it. Empty when there is none.
std::string DefaultApplication(const DesktopFolders& folders, const std::string& mimeType);

inline constexpr const char* kTextMimeType = "text/plain";

// One key of one group of an INI-style text (empty when absent); the same
// text without that key; and with it set or replaced. Everything else stays.
std::string IniValue(const std::string& text, const std::string& group, const std::string& key);
std::string RemoveIniValue(const std::string& text, const std::string& group, const std::string& key);
std::string SetIniValue(const std::string& text, const std::string& group, const std::string& key,
                        const std::string& value);
