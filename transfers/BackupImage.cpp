#include "transfers/BackupImage.h"

#include "files/ByteSource.h"
#include "files/FileFormat.h"
#include "link/Exceptions.h"
#include "transfers/LinkBytes.h"

std::string ReadCheckedImage(const ByteSource& file, const std::string& shownName)
{
    if (file.Size() < ti92::kSingleDataOffset + 2)
        throw EFileError("The file " + shownName + " is too short to hold a memory backup.");
    const uint64_t imageEnd = file.Size() - 2;
    if (imageEnd - ti92::kSingleDataOffset > kMaxBackupImageBytes)
        throw EFileError("The backup " + shownName + " is " + std::to_string(file.Size()) +
                         " bytes long; a TI-92 memory image is at most " + std::to_string(kMaxBackupImageBytes) +
                         " bytes. Nothing was sent.");
    std::string image =
        ReadBytesAt(file, ti92::kSingleDataOffset, static_cast<size_t>(imageEnd - ti92::kSingleDataOffset));
    if (ByteSum(image) != ReadWordLE(file, imageEnd))
        throw EFileError("The backup " + shownName + " is damaged (its checksum does not match). Nothing was sent.");
    return image;
}
