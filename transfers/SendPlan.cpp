#include "transfers/SendPlan.h"

#include <algorithm>

#include "files/ByteSource.h"
#include "files/EntryTable.h"
#include "files/FileFormat.h"
#include "link/Exceptions.h"

namespace {

// Zero prefix, size word and data must fit the 16-bit length of one packet.
constexpr uint32_t kMaxTransferSize = 0xFFFF - 4;

std::string Damaged(const std::string& fileName, const std::string& why)
{
    return "The file " + fileName + " is damaged: " + why + ". Nothing was sent.";
}

}  // namespace

std::vector<WorkRecord> PlanSend(const ByteSource& file, const std::string& fileName)
{
    const EntryTable table = ReadEntryTable(file);
    if (table.truncated)
        throw EFileError(Damaged(fileName, "it ends inside its entry table"));
    std::string prefix = table.count == 1 ? table.defaultFolder + "\\" : std::string();
    std::vector<WorkRecord> plan;
    for (const FileEntry& e : table.entries) {
        WorkRecord w;
        w.type = e.type;
        if (e.IsFolder()) {
            w.folder = true;
            w.fullName = e.name;
            prefix = e.name + "\\";
            plan.push_back(w);
            continue;
        }
        if (e.type == ti92::kBackupType)
            throw EFileError("The file " + fileName + " is a memory backup, not a variable file.");
        w.fullName = prefix + e.name;
        w.dataOffset = e.dataOffset;
        const uint64_t dataStart = uint64_t(e.dataOffset) + 6;
        if (e.nextOffset < dataStart + 2 || e.nextOffset > file.Size())
            throw EFileError(Damaged(fileName, "the data of " + w.fullName + " lies outside the file"));
        w.size = static_cast<uint32_t>(e.nextOffset - dataStart);
        if (w.size > kMaxTransferSize)
            throw EFileError(Damaged(fileName, w.fullName + " is larger than a variable can be"));
        if (ReadWordBE(file, dataStart - 2) != w.size - 2)
            throw EFileError(Damaged(fileName, "the size of " + w.fullName + " does not match its table entry"));
        plan.push_back(w);
    }
    // Sending nothing is no success: an empty group, or one of folders only.
    if (std::none_of(plan.begin(), plan.end(), [](const WorkRecord& w) { return !w.folder; }))
        throw EFileError("The file " + fileName + " holds no variables. Nothing was sent.");
    return plan;
}
