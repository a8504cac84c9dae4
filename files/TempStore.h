#pragma once
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

// One item of the temporary store: where its bytes lie in the data file.
struct IndexRecord {
    std::string name;    // folder\name as requested, at most kMaxStoredName characters
    int32_t start = 0;   // offset of the item's first byte (its size word)
    int32_t finish = 0;  // offset just past the item
    int32_t length = 0;  // bytes to copy from start
    uint8_t type = 0;
};

// 36-byte index record: length byte and up to 17 name characters (0..17),
// two alignment bytes, start, finish, length (signed 32-bit little-endian),
// type byte, three alignment bytes. 17 characters hold a full 8 + "\" + 8 name.
inline constexpr size_t kIndexRecordSize = 36;
inline constexpr size_t kMaxStoredName = 17;
std::string EncodeIndexRecord(const IndexRecord& record);
IndexRecord DecodeIndexRecord(std::string_view bytes);

// The two scratch files that hold received variables until they are saved:
// "~data.~92" (size words and data bytes, or a backup image) and "~indx.~92"
// (one index record per item).
class TempStore {
public:
    explicit TempStore(std::filesystem::path folder);
    const std::filesystem::path& Folder() const { return fFolder; }
    std::filesystem::path DataPath() const;
    std::filesystem::path IndexPath() const;

    // Both files empty.
    void Clear() const;
    // Both files gone (when the program ends).
    void Remove() const;
    // Throws EFileError when a file is missing or damaged.
    std::vector<IndexRecord> ReadIndex() const;
    uint64_t DataSize() const;
    std::string ReadItem(const IndexRecord& record) const;
    // Appends one item: its bytes to the data file and its record to the index.
    void AddItem(const std::string& name, uint8_t type, std::string_view bytes) const;

private:
    std::filesystem::path fFolder;
};

// Writes into the store item by item, as a receive does: data first, the
// index record when the item is complete.
class TempStoreWriter {
public:
    // first: both files emptied; otherwise appended to.
    TempStoreWriter(const TempStore& store, bool first);
    uint64_t Position() const { return fPosition; }
    void Write(std::string_view bytes);
    // Overwrites bytes already written, then goes on at the end.
    void WriteAt(uint64_t offset, std::string_view bytes);
    void AddRecord(const IndexRecord& record);
    // Flushes both files; throws EFileError when that fails.
    void Close();

private:
    void Check(std::ios& stream, const std::filesystem::path& path);
    std::filesystem::path fDataPath, fIndexPath;
    std::fstream fData;
    std::ofstream fIndex;
    uint64_t fPosition = 0;
};

// An item on its way into the store. Unless kept, the data file is cut back
// to where the item began when the guard ends, so a receive that fails or is
// refused halfway leaves only complete items behind. Make it before the
// item's TempStoreWriter (same `first`), so it ends after the writer closed.
class UnfinishedItem {
public:
    UnfinishedItem(const TempStore& store, bool first);
    ~UnfinishedItem();
    UnfinishedItem(const UnfinishedItem&) = delete;
    UnfinishedItem& operator=(const UnfinishedItem&) = delete;

    void Keep() { fKept = true; }

private:
    std::filesystem::path fDataPath;
    uint64_t fStart = 0;
    bool fKept = false;
};
