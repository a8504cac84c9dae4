#include "files/TextConversion.h"

#include <algorithm>
#include <filesystem>

#include "files/ByteSource.h"
#include "files/CommentPrompt.h"
#include "files/FileFormat.h"
#include "files/SaveAs92g.h"
#include "files/TempStore.h"
#include "link/Exceptions.h"
#include "link/TransferView.h"

std::string TextVariableName(const std::string& sourcePath)
{
    std::string file = std::filesystem::path(sourcePath).filename().string();
    auto dot = file.find('.');
    // The name comes from the part before the extension; a file name without
    // a dot has no such part and gives an empty name.
    std::string stem = dot == std::string::npos ? std::string() : file.substr(0, dot);
    std::string name;
    for (char c : stem.substr(0, 8))
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '\\')
            name += c;
    return name;
}

namespace {
void AppendConverted(std::string& out, unsigned char b)
{
    if (b > 30 || b == 13)
        out += static_cast<char>(b);
    if (b == 13)
        out += '\x20';
}
}  // namespace

std::string ConvertTextBytes(std::string_view source)
{
    std::string out;
    for (char c : source)
        AppendConverted(out, static_cast<unsigned char>(c));
    return out;
}

bool Txtto92g(TransferView& view, Dialogs& dialogs, const TempStore& store, bool storeFolders,
              const std::string& source, const std::string& target, bool autoNext,
              std::string comment)
{
    const std::string sourceName = std::filesystem::path(source).filename().string();
    const std::string targetName = std::filesystem::path(target).filename().string();
    try {
        const std::string name = TextVariableName(source);
        DiskBytes input(source);
        TempStoreWriter data(store, true);
        data.Write(std::string("\0\0\0\0\0\0\0\x01\x20", 9));

        const uint64_t length = input.Size();
        view.SetBarMax(ProgressBarId::ConvertBar, static_cast<int>(std::min<uint64_t>(length, INT32_MAX)));
        view.SetBarPosition(ProgressBarId::ConvertBar, 0);
        uint64_t count = 0;
        size_t t = 0;
        std::string chunk(65536, '\0');
        std::string converted;
        for (uint64_t at = 0; at < length;) {
            size_t got = input.ReadAt(at, chunk.data(), chunk.size());
            if (got == 0)
                throw EFileError("Cannot read " + sourceName + ".");
            converted.clear();
            for (size_t i = 0; i < got; ++i) {
                if (++count % 1000 == 1)
                    view.SetBarPosition(ProgressBarId::ConvertBar, static_cast<int>(count));
                AppendConverted(converted, static_cast<unsigned char>(chunk[i]));
            }
            t += converted.size();
            // The size word cannot describe a longer text.
            if (t > kMaxConvertedText)
                throw EFileError("The text of " + sourceName + " is too long for a TI-92 text variable.");
            data.Write(converted);
            at += got;
        }
        view.SetBarPosition(ProgressBarId::ConvertBar, static_cast<int>(std::min<uint64_t>(length, INT32_MAX)));
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

        if (comment.empty())
            comment = PromptComment(dialogs, target);
        if (!SaveAs92g(view, store, storeFolders, target, false, false, comment))
            throw EFileError("The file " + targetName + " could not be saved.");
        view.StatusMemoAdd(sourceName + " was successfully converted to " + targetName + ".");
        if (autoNext)
            view.ClickNextButton();
        return true;
    } catch (const std::exception& e) {
        view.StatusMemoAdd("An error (" + ErrorClassName(e) + ") occured while converting " + sourceName +
                           " to " + targetName + ".");
        return false;
    }
}
