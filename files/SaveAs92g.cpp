#include "files/SaveAs92g.h"

#include <filesystem>

#include "files/FileFormat.h"
#include "files/ReplacingFile.h"
#include "files/VariableFileWriter.h"
#include "link/Exceptions.h"
#include "link/TransferView.h"

namespace {

// What one save writes and where.
struct SaveAs92gJob {
    bool storeFolders = true;
    const std::string& path;
    bool backup = false;
    const std::string& comment;
};

}  // namespace

std::string FolderPart(const std::string& name)
{
    auto slash = name.find('\\');
    return slash == std::string::npos ? std::string() : name.substr(0, slash);
}

std::string EntryName(const std::string& name)
{
    auto slash = name.find('\\');
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

SavePlan PlanEntries(const std::vector<IndexRecord>& records, bool storeFolders)
{
    SavePlan plan;
    if (records.size() == 1)
        plan.defaultFolder = storeFolders ? FolderPart(records[0].name) : "main";
    bool folders = records.size() > 1 && storeFolders;
    std::string current;
    for (size_t i = 0; i < records.size(); ++i) {
        std::string folder = FolderPart(records[i].name);
        if (folders && !folder.empty() && folder != current) {
            plan.entries.push_back({true, folder, i});
            ++plan.folderRuns;
            current = folder;
        }
        plan.entries.push_back({false, EntryName(records[i].name), i});
    }
    return plan;
}

size_t EntriesForNames(const std::vector<std::string>& names, bool storeFolders)
{
    std::vector<IndexRecord> records;
    for (const std::string& name : names)
        records.push_back(IndexRecord{name});
    return PlanEntries(records, storeFolders).entries.size();
}

namespace {

// The entries the store's items need; throws EFileError when one file
// cannot hold them.
SavePlan PlanFile(TransferView& view, const std::vector<IndexRecord>& records, bool storeFolders)
{
    if (records.size() > 1 && storeFolders)
        view.ShowStatus("Calculating headers");
    SavePlan plan = PlanEntries(records, storeFolders);
    if (plan.entries.size() > ti92::kMaxEntries)
        throw EFileError("A TI-92 file holds at most 255 entries; the store needs " +
                         std::to_string(plan.entries.size()) + ".");
    return plan;
}

}  // namespace

void WritePlannedTable(VariableFileWriter& writer, const SavePlan& plan, const std::vector<IndexRecord>& records,
                       bool backup)
{
    // A backup's data part has no zero prefix: image and checksum only.
    const uint64_t partExtra = backup ? 2 : 6;
    uint64_t offset = ti92::FirstDataOffset(plan.entries.size());
    for (const PlannedEntry& e : plan.entries) {
        const IndexRecord& r = records[e.record];
        if (e.isFolder) {
            writer.AddFolder(e.name, static_cast<uint32_t>(offset));
            continue;
        }
        if (r.length < 0)
            throw EFileError("The index of the temporary store is damaged.");
        offset += static_cast<uint64_t>(r.length) + partExtra;
        if (offset > UINT32_MAX)
            throw EFileError("The file would be larger than 4 GB.");
        writer.AddVariable(e.name, r.type, static_cast<uint32_t>(offset));
    }
    writer.EndTable();
}

namespace {

void ResetSaveBars(TransferView& view, int max)
{
    for (auto bar : {ProgressBarId::Save, ProgressBarId::BackupSave}) {
        view.SetBarMax(bar, max);
        view.SetBarPosition(bar, 0);
    }
}

// Each item's data part, the save bars following the store's offsets.
void WriteData(TransferView& view, const TempStore& store, VariableFileWriter& writer,
               const std::vector<IndexRecord>& records, bool backup)
{
    view.ShowStatus("Writing datapart");
    for (const IndexRecord& r : records) {
        view.ShowStatus("Writing data for " + r.name);
        std::string bytes = store.ReadItem(r);
        writer.WriteDataPart(bytes, backup, [&](size_t i) {
            int position = static_cast<int>(uint64_t(r.start) + i);
            view.SetBarPosition(ProgressBarId::Save, position);
            view.SetBarPosition(ProgressBarId::BackupSave, position);
            view.ProcessMessages();
        });
        view.ShowStatus("Data successfully written");
    }
}

// The whole file, written beside the target and put in its place at the end.
void WriteFile(TransferView& view, const TempStore& store, const SaveAs92gJob& job,
               const std::vector<IndexRecord>& records, uint64_t dataSize)
{
    const SavePlan plan = PlanFile(view, records, job.storeFolders);
    view.ShowStatus("Writing headers");
    ReplacingFile file(job.path);
    VariableFileWriter writer(file.Stream());
    writer.WriteHeader(plan.defaultFolder, job.comment, plan.entries.size());
    ResetSaveBars(view, static_cast<int>(dataSize));
    WritePlannedTable(writer, plan, records, job.backup);
    WriteData(view, store, writer, records, job.backup);
    writer.Finish();
    file.Commit();
}

}  // namespace

bool SaveAs92g(TransferView& view, const TempStore& store, bool storeFolders, const std::string& path, bool backup,
               bool log, const std::string& comment)
{
    const std::string fileName = std::filesystem::path(path).filename().string();
    bool result = false;
    std::string resultText;
    {
        const TransferScope transfer(view);
        view.SetLabel(LabelId::SaveStatus, "Saving " + fileName + "..");
        view.SetLabel(LabelId::BackupSaveStatus, "Saving " + fileName + "..");
        try {
            const std::vector<IndexRecord> records = store.ReadIndex();
            const uint64_t dataSize = store.DataSize();
            if (dataSize == 0)
                return true;
            WriteFile(view, store, {storeFolders, path, backup, comment}, records, dataSize);
            view.SetLabel(LabelId::SaveStatus, fileName + " saved");
            view.SetLabel(LabelId::BackupSaveStatus, fileName + " saved");
            resultText = "The received variable(s) was saved into \"" + fileName + "\".";
            for (auto bar : {ProgressBarId::Save, ProgressBarId::BackupSave})
                view.SetBarPosition(bar, view.BarMax(bar));
            result = true;
        } catch (const std::exception& e) {
            // The target is replaced only at the commit: a failure changes nothing.
            view.ErrorDialog(ErrorDialogText("saving the file", e) + " Nothing on the disk was changed.");
            resultText = " An error (" + ErrorClassName(e) + ") occured while saving " + fileName + ".";
        }
        if (log)
            view.StatusMemoAdd(resultText);
        view.ShowStatus("Closing files");
    }
    view.ShowStatus("(none)");
    return result;
}
