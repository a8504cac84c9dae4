#include "files/TempStore.h"

#include <algorithm>

#include "files/FileFormat.h"
#include "link/Exceptions.h"

namespace {
void PutInt(std::string& out, size_t at, int32_t v)
{
    out.replace(at, 4, LongBytes(static_cast<uint32_t>(v)));
}

int32_t GetInt(std::string_view bytes, size_t at)
{
    MemoryBytes b(bytes);
    return static_cast<int32_t>(ReadLongLE(b, at));
}
}  // namespace

std::string EncodeIndexRecord(const IndexRecord& record)
{
    std::string out(kIndexRecordSize, '\0');
    std::string name = record.name.substr(0, kMaxStoredName);
    out[0] = static_cast<char>(name.size());
    out.replace(1, name.size(), name);
    PutInt(out, 20, record.start);
    PutInt(out, 24, record.finish);
    PutInt(out, 28, record.length);
    out[32] = static_cast<char>(record.type);
    return out;
}

IndexRecord DecodeIndexRecord(std::string_view bytes)
{
    if (bytes.size() < kIndexRecordSize)
        throw EFileError("The index of the temporary store is damaged.");
    IndexRecord r;
    size_t length = std::min<size_t>(static_cast<uint8_t>(bytes[0]), kMaxStoredName);
    r.name = std::string(bytes.substr(1, length));
    r.start = GetInt(bytes, 20);
    r.finish = GetInt(bytes, 24);
    r.length = GetInt(bytes, 28);
    r.type = static_cast<uint8_t>(bytes[32]);
    return r;
}

TempStore::TempStore(std::filesystem::path folder) : fFolder(std::move(folder)) {}

std::filesystem::path TempStore::DataPath() const
{
    return fFolder / "~data.~92";
}

std::filesystem::path TempStore::IndexPath() const
{
    return fFolder / "~indx.~92";
}

void TempStore::Clear() const
{
    TempStoreWriter(*this, true).Close();
}

void TempStore::Remove() const
{
    std::error_code ec;
    std::filesystem::remove(DataPath(), ec);
    std::filesystem::remove(IndexPath(), ec);
}

std::vector<IndexRecord> TempStore::ReadIndex() const
{
    std::string bytes = ReadWholeFile(IndexPath());
    std::vector<IndexRecord> records;
    for (size_t at = 0; at + kIndexRecordSize <= bytes.size(); at += kIndexRecordSize)
        records.push_back(DecodeIndexRecord(std::string_view(bytes).substr(at, kIndexRecordSize)));
    return records;
}

uint64_t TempStore::DataSize() const
{
    return DiskBytes(DataPath()).Size();
}

std::string TempStore::ReadItem(const IndexRecord& record) const
{
    if (record.start < 0 || record.length < 0)
        throw EFileError("The index of the temporary store is damaged.");
    DiskBytes data(DataPath());
    return ReadBytesAt(data, static_cast<uint64_t>(record.start), static_cast<size_t>(record.length));
}

void TempStore::AddItem(const std::string& name, uint8_t type, std::string_view bytes) const
{
    TempStoreWriter writer(*this, false);
    IndexRecord r;
    r.name = name;
    r.type = type;
    r.start = static_cast<int32_t>(writer.Position());
    writer.Write(bytes);
    r.finish = static_cast<int32_t>(writer.Position());
    r.length = static_cast<int32_t>(bytes.size());
    writer.AddRecord(r);
    writer.Close();
}

TempStoreWriter::TempStoreWriter(const TempStore& store, bool first)
    : fDataPath(store.DataPath()), fIndexPath(store.IndexPath())
{
    auto mode = std::ios::binary | std::ios::out;
    if (first || !std::filesystem::exists(fDataPath)) {
        fData.open(fDataPath, mode | std::ios::trunc);
        fData.close();
    }
    fData.open(fDataPath, mode | std::ios::in);
    Check(fData, fDataPath);
    fData.seekp(0, std::ios::end);
    fPosition = static_cast<uint64_t>(fData.tellp());
    fIndex.open(fIndexPath, first ? (mode | std::ios::trunc) : (mode | std::ios::app));
    Check(fIndex, fIndexPath);
}

void TempStoreWriter::Check(std::ios& stream, const std::filesystem::path& path)
{
    if (!stream)
        throw EFileError("Cannot write the temporary file " + path.string() + ".");
}

void TempStoreWriter::Write(std::string_view bytes)
{
    fData.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    Check(fData, fDataPath);
    fPosition += bytes.size();
}

void TempStoreWriter::WriteAt(uint64_t offset, std::string_view bytes)
{
    fData.seekp(static_cast<std::streamoff>(offset));
    fData.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    fData.seekp(0, std::ios::end);
    Check(fData, fDataPath);
    fPosition = static_cast<uint64_t>(fData.tellp());
}

void TempStoreWriter::AddRecord(const IndexRecord& record)
{
    std::string bytes = EncodeIndexRecord(record);
    fIndex.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    Check(fIndex, fIndexPath);
}

void TempStoreWriter::Close()
{
    fData.flush();
    Check(fData, fDataPath);
    fIndex.flush();
    Check(fIndex, fIndexPath);
    fData.close();
    fIndex.close();
}

UnfinishedItem::UnfinishedItem(const TempStore& store, bool first) : fDataPath(store.DataPath())
{
    if (first)
        return;
    std::error_code ec;
    if (!std::filesystem::exists(fDataPath, ec))
        return;
    fStart = std::filesystem::file_size(fDataPath, ec);
    // Without a start nothing is cut, rather than earlier items with it.
    fKept = static_cast<bool>(ec);
}

UnfinishedItem::~UnfinishedItem()
{
    if (fKept)
        return;
    // Best effort: a store that cannot be cut back is emptied by the next receive.
    std::error_code ec;
    if (std::filesystem::exists(fDataPath, ec) && std::filesystem::file_size(fDataPath, ec) > fStart)
        std::filesystem::resize_file(fDataPath, fStart, ec);
}
