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
// Text files keep the default they had: the converter's entry handles no
// MIME type, and a pin of it by an older version is removed.
// Throws EFileError when a file cannot be written.
void RegisterFileTypes(const DesktopFolders& folders, const std::string& program);

// Removes what RegisterFileTypes wrote in the user's folders: both desktop
// entries and the MIME package, and the defaults in mimeapps.list that still
// name Linkwise or its converter (a default the user chose since stays);
// then brings the
// desktop's caches up to date. Throws EFileError when a file cannot be
// removed or written.
void UnregisterFileTypes(const DesktopFolders& folders);

// Whether the user's own registration is there (its entry in the user's
// applications folder).
bool UserRegistrationFound(const DesktopFolders& folders);

// The system data folder ($XDG_DATA_DIRS, normally /usr/share) whose
// applications/ holds Linkwise's entry, as an installed package puts it;
// empty when none does. The desktop then knows Linkwise for every user and a
// registration of the user's own is not needed.
std::string InstalledEntriesFolder();

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
