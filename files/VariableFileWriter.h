#pragma once
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>

// Writes a variable file as a stream: header, entry table, A5 5A, data
// parts. A folder entry's size is written back once its variables are known.
class VariableFileWriter {
public:
    explicit VariableFileWriter(std::ostream& out) : fOut(out) {}

    // Header and the first data offset, for a table of n entries.
    void WriteHeader(const std::string& defaultFolder, const std::string& comment, size_t n);
    // A folder entry; dataOffset is that of the variable that follows it.
    void AddFolder(const std::string& name, uint32_t dataOffset);
    // A variable entry; nextOffset is where its data part ends.
    void AddVariable(const std::string& name, uint8_t type, uint32_t nextOffset);
    void EndTable();
    // Zero prefix (not for a backup), the bytes, and their checksum. progress(i)
    // is called with the 1-based byte number at every 20th byte (i mod 20 = 1).
    void WriteDataPart(std::string_view bytes, bool backup, const std::function<void(size_t)>& progress = {});
    // Writes the size of the last folder; call when the data parts are done.
    // Whether the bytes reached the disk is for the owner of the stream to
    // check (ReplacingFile::Commit says why they did not).
    void Finish();

    int EntriesWritten() const { return fEntries; }

private:
    void PatchFolderSize();
    std::ostream& fOut;
    std::streamoff fFolderSizeAt = -1;
    uint16_t fFolderVariables = 0;
    int fEntries = 0;
};
