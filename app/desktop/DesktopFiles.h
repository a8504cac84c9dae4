#pragma once
#include <string>
#include <vector>

// A TI-92 file extension and the MIME type it stands for.
struct Ti92MimeType {
    std::string extension;  // "92p"
    std::string type;       // "application/x-ti92-program"
    std::string comment;    // "TI-92 program"
};

// The 14 registered extensions, in the order of the shell's extension list.
std::vector<Ti92MimeType> Ti92MimeTypes();
// The type whose default application tells whether Linkwise is registered.
inline constexpr const char* kProgramMimeType = "application/x-ti92-program";

// Desktop file ids of the two entries.
inline constexpr const char* kSendEntryId = "linkwise.desktop";
inline constexpr const char* kConvertEntryId = "linkwise-convert.desktop";

// The shared-mime-info package naming the 14 types (globs in both cases).
std::string MimePackageText();
// The entry that opens TI-92 files: "Send to calculator", with the Send and
// Convert actions. Started from a menu without a file it opens the window
// plainly. `program` is the executable as the Exec line names it.
std::string SendEntryText(const std::string& program);
// The hidden entry that converts a text file it is given ("Open With" → the
// Linkwise converter). It declares no MIME type: it must never become the
// desktop's default for text files.
std::string ConvertEntryText(const std::string& program);

// Where file managers offer actions for text files instead: a Dolphin
// service menu and a Nemo action, both named kConvertActionName. The Nemo
// action's `program` is a plain command name found on PATH.
inline constexpr const char* kConvertActionName = "Convert to TI-92 text";
std::string ServiceMenuText(const std::string& program);
std::string NemoActionText(const std::string& program);

// One Exec argument, always quoted, with "%" doubled, and escaped as a
// desktop entry's string value. Throws EFileError for one that holds a
// control character (a line break would add lines to the entry).
std::string ExecArgument(const std::string& argument);
