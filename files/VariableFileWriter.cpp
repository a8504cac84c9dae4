#include "files/VariableFileWriter.h"

#include "files/FileFormat.h"
#include "link/Exceptions.h"

void VariableFileWriter::WriteHeader(const std::string& defaultFolder, const std::string& comment, size_t n)
{
    if (n > ti92::kMaxEntries)
        throw EFileError("A TI-92 file holds at most 255 entries.");
    WriteRaw(fOut, ti92::kSignature);
    WriteRaw(fOut, std::string("\x01\x00", 2));
    WriteRaw(fOut, PadName(defaultFolder.substr(0, ti92::kNameLength), ti92::kNameLength));
    WriteRaw(fOut, PadName(comment.substr(0, ti92::kCommentLength), ti92::kCommentLength));
    WriteRaw(fOut, std::string(6, '\0'));
    WriteRaw(fOut, std::string{static_cast<char>(n), '\0'});
    WriteRaw(fOut, LongBytes(ti92::FirstDataOffset(n)));
}

void VariableFileWriter::AddFolder(const std::string& name, uint32_t dataOffset)
{
    PatchFolderSize();
    fFolderSizeAt = static_cast<std::streamoff>(fOut.tellp()) + 10;
    fFolderVariables = 0;
    WriteRaw(fOut, PadName(name.substr(0, ti92::kNameLength), ti92::kNameLength));
    WriteRaw(fOut, std::string{static_cast<char>(ti92::kFolderType), '\0', '\0', '\0'});
    WriteRaw(fOut, LongBytes(dataOffset));
    ++fEntries;
}

void VariableFileWriter::AddVariable(const std::string& name, uint8_t type, uint32_t nextOffset)
{
    if (fFolderSizeAt >= 0)
        ++fFolderVariables;
    WriteRaw(fOut, PadName(name.substr(0, ti92::kNameLength), ti92::kNameLength));
    WriteRaw(fOut, std::string{static_cast<char>(type), '\0', '\0', '\0'});
    WriteRaw(fOut, LongBytes(nextOffset));
    ++fEntries;
}

void VariableFileWriter::EndTable()
{
    WriteRaw(fOut, "\xA5\x5A");
}

void VariableFileWriter::WriteDataPart(std::string_view bytes, bool backup, const std::function<void(size_t)>& progress)
{
    if (!backup)
        WriteRaw(fOut, std::string(4, '\0'));
    uint32_t sum = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        sum += static_cast<uint8_t>(bytes[i]);
        if (progress && (i + 1) % 20 == 1)
            progress(i + 1);
    }
    WriteRaw(fOut, bytes);
    WriteRaw(fOut, WordBytes(static_cast<uint16_t>(sum & 0xFFFF)));
}

void VariableFileWriter::Finish()
{
    PatchFolderSize();
}

void VariableFileWriter::PatchFolderSize()
{
    if (fFolderSizeAt < 0 || fFolderVariables == 0)
        return;
    auto here = fOut.tellp();
    fOut.seekp(fFolderSizeAt);
    WriteRaw(fOut, WordBytes(fFolderVariables));
    fOut.seekp(here);
    fFolderVariables = 0;
}
