#pragma once
// Text files to TI-92 text variables: the variable name from the file name,
// the text in the calculator's character set, and the converted file saved
// through the temporary store. Used by the window's convert task, the
// file-list send and linkwise-cli convert and send.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/Ti92Charset.h"

class Dialogs;
class TempStore;
class TransferView;

// True for a name the calculator accepts for a variable or folder: 1 to 8
// characters, a lower-case letter first, then lower-case letters, digits and
// '_'.
bool IsValidVariableName(std::string_view name);

// The variable name of a converted text file, by the calculator's rules: the
// file name up to its last extension (all of it when it has none, as
// README), in lower case, keeping only letters, digits and '_' (accented
// letters and every other character are left out), starting at the first
// letter and cut to 8 characters. Empty when the file name holds no letter.
std::string TextVariableName(const std::string& sourcePath);

// Columns between tab stops when none are given.
inline constexpr unsigned kDefaultTabSize = 8;

// Source text to calculator text. Every line end (CR LF, LF alone, CR alone)
// becomes CR followed by the paragraph byte 32; a tab becomes the spaces up to
// the next multiple of `tabSize` columns; other control characters and a
// leading byte-order mark are dropped; characters the calculator lacks
// become '?' and are counted. Text may be fed in pieces, a CR LF or a UTF-8
// sequence cut between two pieces included.
class TextConverter {
public:
    explicit TextConverter(unsigned tabSize = kDefaultTabSize) : fTabSize(tabSize == 0 ? 1 : tabSize) {}
    std::string Feed(std::string_view piece);
    std::string Finish();
    size_t Missing() const { return fMissing; }
    // The characters that became '?', each once, in the order first met.
    const std::vector<char32_t>& Lacking() const { return fLacking; }

private:
    void Put(std::string& out, char32_t c, std::optional<uint8_t> code);
    ti92text::SourceDecoder fDecoder;
    unsigned fTabSize;
    size_t fColumn = 0;
    ti92text::Encoder fEncoder;
    bool fAfterCR = false;
    bool fStarted = false;
    size_t fMissing = 0;
    std::vector<char32_t> fLacking;
};

// The whole conversion of a text in memory.
ti92text::Encoded ConvertTextBytes(std::string_view source, unsigned tabSize = kDefaultTabSize);

// Largest converted text that can be sent: the variable (size word and
// t + 5 bytes) travels in one packet of at most 65531 bytes.
inline constexpr size_t kMaxConvertedText = 65524;

// The name (and folder) a converted text variable gets instead of the one
// made from its file name; empty fields keep the default. Check both with
// IsValidVariableName first.
struct TextVariableNaming {
    std::string name;
    std::string folder;
};

// The name a converted text variable is stored under: folder\name, or the
// name alone. Throws EFileError (NoVariableNameText for a file name that
// gives none) so a caller can check before any work.
std::string TextStoredName(const std::string& source, const TextVariableNaming& naming = {});

// "No TI-92 variable name can be made from the file name ..." for a source
// whose file name gives none.
std::string NoVariableNameText(const std::string& source);

// A note for the report when `missing` characters were replaced, naming up
// to five of the `lacking` ones; empty for 0.
std::string MissingCharactersNote(size_t missing, const std::vector<char32_t>& lacking = {});

// Converts a text file into a TI-92 text variable in the temporary store
// and saves it as `target` with `comment` (calculator codes); without one
// it asks for one (a cancelled question converts nothing). Errors go
// into the status report only, in one line that ends with the cause. True
// when the file was written. The report names the target `shownTarget`
// (for a temporary file: what it stands for), or the file's name when empty.
bool Txtto92g(TransferView& view, Dialogs& dialogs, const TempStore& store, bool storeFolders,
              const std::string& source, const std::string& target, bool autoNext, std::optional<std::string> comment,
              const TextVariableNaming& naming = {}, unsigned tabSize = kDefaultTabSize,
              const std::string& shownTarget = {});
