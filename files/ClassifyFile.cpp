#include "files/ClassifyFile.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "files/FileFormat.h"
#include "link/Exceptions.h"
#include "link/TypeNames.h"

namespace {
// Bytes from offset up to the first 0x00 or 0x81 (not included); the offset
// just past that end byte goes into `next`. Throws EFileError at the end of
// the file.
std::string ReadFargoText(const ByteSource& file, uint64_t offset, uint64_t* next = nullptr)
{
    std::string text;
    char buf[256];
    for (;;) {
        size_t got = file.ReadAt(offset, buf, sizeof buf);
        if (got == 0)
            throw EFileError("Read beyond the end of the file.");
        for (size_t i = 0; i < got; ++i) {
            unsigned char b = static_cast<unsigned char>(buf[i]);
            if (b == 0x00 || b == 0x81) {
                if (next)
                    *next = offset + i + 1;
                return text;
            }
            text += buf[i];
        }
        offset += got;
    }
}

void ReadLibraries(VariableFileType& info, const ByteSource& file, uint64_t at, int count)
{
    info.declaredLibraries = count;
    for (int i = 0; i < count && info.libraries.size() < kinds::kMaxLibraries; ++i)
        info.libraries.push_back(ReadFargoText(file, at, &at));
}

// Reads the details of a one-entry file; a read past the end throws and
// leaves what was found so far.
void ClassifySingle(VariableFileType& info, const ByteSource& file, FargoVisibility show, bool& result)
{
    info.kind = kinds::kSingle + ReadByteAt(file, 72);

    uint8_t marker = ReadByteAt(file, 89);
    if (marker == 'P') {
        result = show.showFargo1;
        info.kind = kinds::kFargo1Program;
        uint64_t table = ReadWordBE(file, 94) + 89ull;
        uint16_t descriptionWord = ReadWordBE(file, 100);
        ReadLibraries(info, file, table + 1, ReadByteAt(file, table));
        // An offset of 0 means the program has no description.
        if (descriptionWord != 0)
            info.description = ReadFargoText(file, descriptionWord + 88ull);
    } else if (marker == 'L') {
        result = show.showFargo1;
        info.kind = kinds::kFargo1Library;
    }

    if (ReadAvailableAt(file, 90, 3) == "EXE") {
        result = show.showFargo2;
        if (ReadAvailableAt(file, 94, 4) == "APPL") {
            info.kind = kinds::kFargo2Program;
            uint64_t p = ReadWordBE(file, 104) + 86ull;
            uint16_t descriptionWord = ReadWordBE(file, 108);
            int count = ReadWordBE(file, p) & 0xFF;
            uint64_t names = ReadWordBE(file, p + 2) + 86ull;
            info.libraries.clear();
            ReadLibraries(info, file, names, count);
            if (descriptionWord != 0)
                info.description = ReadFargoText(file, descriptionWord + 86ull);
        } else if (ReadAvailableAt(file, 94, 3) == "DLL") {
            info.kind = kinds::kFargo2Library;
            info.description.clear();
        }
    }
}
}  // namespace

bool ClassifyBytes(VariableFileType& info, const ByteSource& file, FargoVisibility show)
{
    std::string ext = std::filesystem::path(info.path).extension().string();
    info.extension = ext.empty() ? std::string() : ext.substr(1, 3);
    info.size = static_cast<int64_t>(file.Size());
    info.comment.clear();
    info.description.clear();
    info.libraries.clear();
    info.declaredLibraries = 0;
    info.entryCount = 0;
    info.kind = kinds::kNone;
    bool result = true;

    if (!IsVariableFile(file)) {
        std::string upper = info.extension;
        std::transform(upper.begin(), upper.end(), upper.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        if (upper == "TXT") {
            info.kind = kinds::kText;
            info.comment = ReadAvailableAt(file, 0, 30);
            if (file.Size() > 30)
                info.comment += "...";
        } else {
            info.comment = "(corrupted)";
        }
        return result;
    }

    info.comment = ReadAvailableAt(file, ti92::kCommentOffset, ti92::kCommentLength);
    std::string count = ReadAvailableAt(file, ti92::kCountOffset, 1);
    if (count.empty()) {
        // Too short to hold its entry count.
        info.kind = kinds::kGroup;
        info.comment += "**";
        return result;
    }
    info.entryCount = static_cast<uint8_t>(count[0]);
    if (info.entryCount != 1) {
        info.kind = kinds::kGroup;
        return result;
    }
    try {
        ClassifySingle(info, file, show, result);
    } catch (const EFileError&) {
        info.comment += "**";
    }
    return result;
}

bool ClassifyFile(VariableFileType& info, FargoVisibility show)
{
    DiskBytes file(info.path);
    return ClassifyBytes(info, file, show);
}

std::string KindText(int kind)
{
    switch (kind) {
    case kinds::kNone:
        return "-";
    case kinds::kText:
        return "Textfile";
    case kinds::kFargo2Library:
        return "Fargo v2.x library";
    case kinds::kFargo2Program:
        return "Fargo v2.x program";
    case kinds::kFargo1Library:
        return "Fargo v1.x library";
    case kinds::kFargo1Program:
        return "Fargo v1.x program";
    case kinds::kGroup:
        return "Groupfile";
    default:
        if (kind >= kinds::kSingle && kind <= kinds::kSingle + 30)
            return "Single (" + TypeName(kind - kinds::kSingle) + ")";
        return "unknown";
    }
}
