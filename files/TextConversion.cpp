#include "files/TextConversion.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "files/ByteSource.h"
#include "files/CommentPrompt.h"
#include "files/FileFormat.h"
#include "files/SaveAs92g.h"
#include "files/TempStore.h"
#include "link/Exceptions.h"
#include "link/TransferView.h"

namespace {
bool IsLower(char c)
{
    return c >= 'a' && c <= 'z';
}
bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}
}  // namespace

bool IsValidVariableName(std::string_view name)
{
    if (name.empty() || name.size() > ti92::kNameLength || !IsLower(name[0]))
        return false;
    return std::all_of(name.begin(), name.end(), [](char c) { return IsLower(c) || IsDigit(c) || c == '_'; });
}

std::string TextVariableName(const std::string& sourcePath)
{
    const std::string stem = std::filesystem::path(sourcePath).stem().string();
    std::string name;
    for (char c : stem) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (name.empty() ? IsLower(c) : (IsLower(c) || IsDigit(c) || c == '_'))
            name += c;
        if (name.size() == ti92::kNameLength)
            break;
    }
    return name;
}

std::string TextConverter::Feed(std::string_view piece)
{
    std::string out;
    auto put = [&](char32_t c, std::optional<uint8_t> code) { Put(out, c, code); };
    fDecoder.Feed(piece, false, [&](char32_t c) { fEncoder.Put(c, put); });
    return out;
}

std::string TextConverter::Finish()
{
    std::string out;
    auto put = [&](char32_t c, std::optional<uint8_t> code) { Put(out, c, code); };
    fDecoder.Feed({}, true, [&](char32_t c) { fEncoder.Put(c, put); });
    fEncoder.Finish(put);
    return out;
}

void TextConverter::Put(std::string& out, char32_t c, std::optional<uint8_t> code)
{
    const bool first = !fStarted;
    fStarted = true;
    const bool afterCR = fAfterCR;
    fAfterCR = c == '\r';
    if (c == '\r' || (c == '\n' && !afterCR)) {
        out += "\r\x20";
        fColumn = 0;
    } else if (c == '\n') {
        // The LF of a CR LF: the line was ended by the CR.
    } else if (c == '\t') {
        const size_t spaces = fTabSize - fColumn % fTabSize;
        out.append(spaces, ' ');
        fColumn += spaces;
    } else if (c < 0x20 || c == 0x7F || (c == 0xFEFF && first)) {
        // Not characters: dropped as they always were.
    } else if (code) {
        out += static_cast<char>(*code);
        ++fColumn;
    } else {
        out += ti92text::kMissing;
        ++fColumn;
        ++fMissing;
        if (std::find(fLacking.begin(), fLacking.end(), c) == fLacking.end())
            fLacking.push_back(c);
    }
}

ti92text::Encoded ConvertTextBytes(std::string_view source, unsigned tabSize)
{
    TextConverter converter(tabSize);
    ti92text::Encoded e;
    e.bytes = converter.Feed(source);
    e.bytes += converter.Finish();
    e.missing = converter.Missing();
    return e;
}

namespace {
// A lacking character as the user would recognise it; controls by their code.
std::string NamedCharacter(char32_t c)
{
    if (c < 0x20 || (c >= 0x7F && c < 0xA0)) {
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
        return code;
    }
    std::string utf8;
    ti92text::AppendUtf8(utf8, c);
    return "\"" + utf8 + "\"";
}
}  // namespace

std::string MissingCharactersNote(size_t missing, const std::vector<char32_t>& lacking)
{
    if (missing == 0)
        return {};
    std::string note =
        std::to_string(missing) + (missing == 1 ? " character" : " characters") + " the TI-92 lacks became \"?\"";
    constexpr size_t kNamed = 5;
    for (size_t i = 0; i < lacking.size() && i < kNamed; ++i)
        note += (i == 0 ? ": " : ", ") + NamedCharacter(lacking[i]);
    if (lacking.size() > kNamed)
        note += " and " + std::to_string(lacking.size() - kNamed) + " more";
    return note + ".";
}

std::string TextStoredName(const std::string& source, const TextVariableNaming& naming)
{
    const std::string name = naming.name.empty() ? TextVariableName(source) : naming.name;
    if (!IsValidVariableName(name))
        throw EFileError(NoVariableNameText(source));
    if (!naming.folder.empty() && !IsValidVariableName(naming.folder))
        throw EFileError("\"" + naming.folder + "\" is not a valid TI-92 folder name.");
    return naming.folder.empty() ? name : naming.folder + "\\" + name;
}

namespace {

// Converts the source piece by piece into the store; returns the text length.
size_t WriteConvertedText(TransferView& view, const std::string& source, TempStoreWriter& data,
                          TextConverter& converter)
{
    const std::string sourceName = std::filesystem::path(source).filename().string();
    DiskBytes input(source);
    const uint64_t length = input.Size();
    view.SetBarMax(ProgressBarId::Convert, static_cast<int>(std::min<uint64_t>(length, INT32_MAX)));
    view.SetBarPosition(ProgressBarId::Convert, 0);
    size_t t = 0;
    auto put = [&](const std::string& converted) {
        t += converted.size();
        // The size word cannot describe a longer text.
        if (t > kMaxConvertedText)
            throw EFileError("The text of " + sourceName +
                             " is too long for a TI-92 text variable: it converts to more than " +
                             std::to_string(kMaxConvertedText) + " bytes.");
        data.Write(converted);
    };
    std::string chunk(65536, '\0');
    for (uint64_t at = 0; at < length;) {
        size_t got = input.ReadAt(at, chunk.data(), chunk.size());
        if (got == 0)
            throw EFileError("Cannot read " + sourceName + ".");
        // Progress as before: every thousandth source byte.
        for (uint64_t k = (at + 999) / 1000 * 1000; k < at + got; k += 1000)
            view.SetBarPosition(ProgressBarId::Convert, static_cast<int>(std::min<uint64_t>(k + 1, INT32_MAX)));
        put(converter.Feed(std::string_view(chunk.data(), got)));
        at += got;
    }
    put(converter.Finish());
    view.SetBarPosition(ProgressBarId::Convert, static_cast<int>(std::min<uint64_t>(length, INT32_MAX)));
    return t;
}
}  // namespace

std::string NoVariableNameText(const std::string& source)
{
    return "No TI-92 variable name can be made from the file name " +
           std::filesystem::path(source).filename().string() +
           ": a name is 1 to 8 letters, digits or _, starting with a letter.";
}

bool Txtto92g(TransferView& view, Dialogs& dialogs, const TempStore& store, bool storeFolders,
              const std::string& source, const std::string& target, bool autoNext, std::optional<std::string> comment,
              const TextVariableNaming& naming, unsigned tabSize, const std::string& shownTarget)
{
    const std::string sourceName = std::filesystem::path(source).filename().string();
    const std::string targetName =
        shownTarget.empty() ? std::filesystem::path(target).filename().string() : shownTarget;
    try {
        const std::string name = TextStoredName(source, naming);
        TempStoreWriter data(store, true);
        data.Write(std::string("\0\0\0\0\0\0\0\x01\x20", 9));
        TextConverter converter(tabSize);
        const size_t t = WriteConvertedText(view, source, data, converter);
        data.Write(std::string("\x00\xE0", 2));

        IndexRecord record;
        record.name = name;
        record.start = 4;
        record.finish = static_cast<int32_t>(data.Position());
        record.length = record.finish - 4;
        record.type = ti92::kTextType;
        data.AddRecord(record);
        const uint16_t size = static_cast<uint16_t>(t + 5);
        data.WriteAt(4, std::string{static_cast<char>(size >> 8), static_cast<char>(size & 0xFF)});
        data.Close();

        if (!comment) {
            comment = PromptComment(dialogs, target);
            if (!comment) {
                view.StatusMemoAdd(sourceName + " was not converted: the comment was cancelled.");
                return false;
            }
        }
        if (!SaveAs92g(view, store, storeFolders, target, false, false, *comment))
            throw EFileError("The file " + std::filesystem::path(target).filename().string() + " could not be saved.");
        const std::string note = MissingCharactersNote(converter.Missing(), converter.Lacking());
        view.StatusMemoAdd(sourceName + " was successfully converted to " + targetName + "." +
                           (note.empty() ? "" : " " + note));
        if (autoNext)
            view.ClickNextButton();
        return true;
    } catch (const std::exception& e) {
        // The cause follows on the same line, so wherever the line goes it goes too.
        view.StatusMemoAdd("An error (" + ErrorClassName(e) + ") occured while converting " + sourceName + " to " +
                           targetName + "." + (*e.what() ? std::string(" ") + e.what() : ""));
        return false;
    }
}
