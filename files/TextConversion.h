#pragma once
#include <string>
#include <string_view>

class Dialogs;
class TempStore;
class TransferView;

// The variable name of a converted text file: its file name up to the first
// ".", cut to 8 characters, keeping only the letters A-Z, a-z and "\".
std::string TextVariableName(const std::string& sourcePath);

// The text bytes of a converted file: bytes above 30 and CR are kept, a
// space follows every CR, everything else is dropped.
std::string ConvertTextBytes(std::string_view source);

// Largest converted text that fits the size word (t + 5 <= 65535).
inline constexpr size_t kMaxConvertedText = 65530;

// Converts a text file into a TI-92 text variable in the temporary store
// and saves it as `target`. An empty comment means: ask for one. Errors go
// into the status report only. True when the file was written.
bool Txtto92g(TransferView& view, Dialogs& dialogs, const TempStore& store, bool storeFolders,
              const std::string& source, const std::string& target, bool autoNext,
              std::string comment);
