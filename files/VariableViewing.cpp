#include "files/VariableViewing.h"

#include <algorithm>

#include "files/EntryTable.h"
#include "files/FileFormat.h"
#include "files/Ti92Charset.h"
#include "link/Exceptions.h"

namespace {
constexpr uint8_t kPictureType = 0x10;
// A picture larger than this in its header is damaged: only the rows its
// bitmap reaches are kept, so a bad header cannot claim gigabytes.
constexpr int64_t kMaxPlainPixels = 4 * 1024 * 1024;

uint16_t WordBE(std::string_view bytes, size_t at)
{
    if (at + 2 > bytes.size())
        return 0;
    return static_cast<uint16_t>(static_cast<uint8_t>(bytes[at]) << 8 | static_cast<uint8_t>(bytes[at + 1]));
}
}  // namespace

std::string UnmappedCodesNote(const UnmappedCodes& unmapped)
{
    if (unmapped.count == 0)
        return {};
    std::string note =
        std::to_string(unmapped.count) + (unmapped.count == 1 ? " TI-92 character" : " TI-92 characters") +
        " without a Unicode equivalent became U+FFFD: " + (unmapped.codes.count() == 1 ? "code" : "codes");
    const char* hex = "0123456789ABCDEF";
    const char* separator = " ";
    for (size_t code = 0; code < unmapped.codes.size(); ++code) {
        if (!unmapped.codes.test(code))
            continue;
        note += separator;
        note += "0x";
        note += hex[code >> 4];
        note += hex[code & 0xF];
        separator = ", ";
    }
    return note + ".";
}

std::vector<std::string> DecodeTextLines(std::string_view bytes, UnmappedCodes* unmapped)
{
    std::vector<std::string> lines;
    std::string line;
    for (char c : bytes) {
        auto b = static_cast<uint8_t>(c);
        if (b == 13) {
            lines.push_back(std::move(line));
            line.clear();
        } else if (const std::u32string_view text = ti92text::ToUnicode(b); !text.empty()) {
            for (char32_t u : text)
                ti92text::AppendUtf8(line, u);
        } else if (b != 0) {
            // Kept in its place, so nothing is lost without a mark; NUL ends
            // a text and is no character.
            ti92text::AppendUtf8(line, U'\uFFFD');
            if (unmapped)
                unmapped->Add(b);
        }
    }
    lines.push_back(std::move(line));
    return lines;
}

std::string_view WithoutParagraphByte(std::string_view line)
{
    return line.empty() || line[0] != ' ' ? line : line.substr(1);
}

std::string TextVariableAsUtf8(std::string_view sized, UnmappedCodes* unmapped)
{
    // Two bytes of cursor position, the text, then 00 E0.
    const size_t s = std::min<size_t>(WordBE(sized, 0), sized.size() >= 2 ? sized.size() - 2 : 0);
    const std::string_view text = s >= 4 ? sized.substr(4, s - 4) : std::string_view();
    std::string out;
    bool first = true;
    for (const std::string& line : DecodeTextLines(text, unmapped)) {
        if (!first)
            out += '\n';
        first = false;
        out += WithoutParagraphByte(line);
    }
    return out;
}

MonoPicture::MonoPicture(int width, int height, std::string_view bitmap)
    : fWidth(std::max(width, 0)), fHeight(std::max(height, 0))
{
    const int64_t rowBytes = (fWidth + 7) / 8;
    if (int64_t(fWidth) * fHeight > kMaxPlainPixels) {
        const int64_t reached = rowBytes == 0 ? 0 : (int64_t(bitmap.size()) + rowBytes - 1) / rowBytes;
        fHeight = static_cast<int>(std::min<int64_t>(fHeight, reached));
    }
    fBlack.assign(size_t(fWidth) * size_t(fHeight), 0);
    int x = 0, y = 0;
    for (char c : bitmap) {
        if (x >= fWidth) {
            x = 0;
            ++y;
        }
        if (y >= fHeight)
            break;
        const auto b = static_cast<uint8_t>(c);
        for (int k = 0; k < 8; ++k)
            if ((b & (0x80 >> k)) && x + k < fWidth)
                fBlack[size_t(y) * size_t(fWidth) + size_t(x + k)] = 1;
        x += 8;
    }
}

bool MonoPicture::Black(int x, int y) const
{
    if (x < 0 || y < 0 || x >= fWidth || y >= fHeight)
        return false;
    return fBlack[size_t(y) * size_t(fWidth) + size_t(x)] != 0;
}

std::string ViewedVariable::StatusText() const
{
    const std::string note = UnmappedCodesNote(unmapped);
    return "Viewing " + ti92text::ToUtf8(name) + " (" + std::to_string(size) + " bytes)" +
           (note.empty() ? "" : ". " + note);
}

ViewedVariable ViewVariable(const std::string& name, uint8_t type, std::string_view sized)
{
    ViewedVariable v;
    v.name = name;
    v.size = static_cast<int64_t>(sized.size());
    // The size word says how many data bytes there are; never more than came.
    const size_t s = std::min<size_t>(WordBE(sized, 0), sized.size() >= 2 ? sized.size() - 2 : 0);
    std::string_view data = sized.substr(std::min<size_t>(2, sized.size()), s);
    if (type == ti92::kTextType) {
        v.kind = ViewedVariable::Kind::Text;
        // Two leading bytes, then the text and the byte that ends it.
        if (s >= 3)
            v.lines = DecodeTextLines(data.substr(2, s - 3), &v.unmapped);
        else
            v.lines = DecodeTextLines({});
    } else if (type == kPictureType) {
        v.kind = ViewedVariable::Kind::Picture;
        const int height = WordBE(data, 0);
        const int width = WordBE(data, 2);
        std::string_view bitmap = s >= 5 ? data.substr(4, s - 5) : std::string_view();
        v.picture = MonoPicture(width, height, bitmap);
    }
    return v;
}

ViewedVariable ViewStoredVariable(const TempStore& store, size_t row)
{
    std::vector<IndexRecord> records = store.ReadIndex();
    if (row >= records.size())
        throw EFileError("The temporary store holds no variable number " + std::to_string(row + 1) + ".");
    const IndexRecord& r = records[row];
    return ViewVariable(r.name, r.type, store.ReadItem(r));
}

ViewedVariable ExtractData(const ByteSource& file, size_t variable)
{
    EntryTable table = ReadEntryTable(file);
    size_t seen = 0;
    for (const FileEntry& e : table.entries) {
        if (e.IsFolder())
            continue;
        if (seen++ != variable)
            continue;
        if (e.type != ti92::kTextType && e.type != kPictureType)
            break;
        return ViewVariable(e.name, e.type, ReadVariableData(file, e));
    }
    throw EFileError("No image- or textvariable was found!");
}

ViewedVariable ExtractData(const std::string& path, size_t variable)
{
    DiskBytes file(path);
    return ExtractData(file, variable);
}
