#include "transfers/BackupReceive.h"

#include "files/TempStore.h"
#include "link/PacketCheck.h"
#include "link/Exceptions.h"
#include "link/PacketCommands.h"
#include "link/TTI92.h"
#include "link/TransferView.h"
#include "transfers/LinkBytes.h"
#include "transfers/VariableReceive.h"

namespace {

constexpr size_t kMaxRecordName = 16;
// After GetRomVer the calculator is left in the middle of its backup; it
// gives up on it within this time.
constexpr uint32_t kAbandonWaitMs = 5000;

void ThrowDamaged(const std::string& what)
{
    throw EDamagedReply(what + " arrived damaged. Please try again.");
}

// One block header after its first two bytes (id and command): length,
// size, type, name length and name, checksum. Gives the name.
std::string ReadBlockHeader(TTI92& link, const std::string& what)
{
    const std::string info = ReceiveBytes(link, 8);
    const std::string name = ReceiveBytes(link, ByteAt(info, 7));
    const std::string checksum = ReceiveBytes(link, 2);
    const uint16_t expected = static_cast<uint16_t>(ByteAt(checksum, 0) + 256 * ByteAt(checksum, 1));
    if (ByteSum(info.substr(2) + name) != expected)
        ThrowDamaged(what);
    return name;
}

// Lets the window run while the calculator gives up on the backup.
void WaitForAbandon(TTI92& link, TransferView& view)
{
    const uint32_t start = link.clock().GetTickCount();
    while (link.clock().GetTickCount() - start < kAbandonWaitMs) {
        link.clock().Sleep(20);
        view.ProcessMessages();
    }
}

void RequestBackup(TTI92& link)
{
    link.SendString(BackupRequestPacket(link.MachineIdSent()));
    if (!link.GetAck())
        throw ECalculatorError("Did not got requestACK");
}

}  // namespace

std::string BackupRequestPacket(uint8_t machineId)
{
    return VariableRequestPacket(machineId, "main\\backup", kTypeBackup);
}

std::string GetRomVer(TTI92& link, TransferView& view)
{
    std::string version;
    view.TransferMode(true);
    try {
        link.PrepareLine();
        link.CheckReady();
        view.ShowStatus("Requesting backup");
        RequestBackup(link);
        const std::string head = ReceiveBytes(link, 2);
        view.ShowStatus("Receiving versionnumber");
        if (ByteAt(head, 1) != Cmd::VAR)
            ThrowDamaged("The backup header");
        version = ReadBlockHeader(link, "The backup header");
        view.ShowStatus("Versionnumber received");
        WaitForAbandon(link, view);
    } catch (...) {
        view.ShowStatus("(none)");
        view.TransferMode(false);
        throw;
    }
    view.ShowStatus("(none)");
    view.TransferMode(false);
    return version;
}

bool ReceiveBackup(TTI92& link, TransferView& view, const TempStore& store, bool autoAdvance)
{
    bool result = false;
    view.TransferMode(true);
    view.SetLabel(LabelId::Label18, "Thing to get");
    view.VarListSelect(0);
    try {
        TempStoreWriter writer(store, true);
        IndexRecord record;
        record.type = kTypeBackup;
        record.start = static_cast<int32_t>(writer.Position());

        link.PrepareLine();
        link.CheckReady();
        view.SetLabel(LabelId::trLabel, "Getting memory-backup (Size is unknown, so progressbar is not enabled!)");
        view.ShowStatus("Requesting backup");
        RequestBackup(link);
        std::string head = ReceiveBytes(link, 2);
        view.ShowStatus("Receiving backup");
        int block = 0;
        do {
            ++block;
            const std::string what = "Block " + std::to_string(block) + " of the backup";
            if (ByteAt(head, 1) != Cmd::VAR)
                ThrowDamaged("The header of " + what);
            const std::string name = ReadBlockHeader(link, "The header of " + what);
            if (block == 1)
                record.name = name.substr(0, kMaxRecordName);
            view.ShowStatus("Receiving block " + std::to_string(block) + " ROM v" + record.name);
            link.SendAck();
            link.SendString(std::string{static_cast<char>(link.MachineIdSent()), static_cast<char>(Cmd::CTS), 0, 4});
            if (!link.GetAck())
                throw ECalculatorError("Did not got Block-Header ACK");

            const std::string dataHead = ReceiveBytes(link, 4);
            if (ByteAt(dataHead, 1) != Cmd::DATA)
                ThrowDamaged(what);
            const size_t count = ByteAt(dataHead, 2) + 256u * ByteAt(dataHead, 3);
            // The first four data bytes are not part of the image.
            std::string data;
            data.reserve(count);
            for (size_t i = 1; i <= count; ++i) {
                data += static_cast<char>(link.ReceiveByte());
                if (i % 1000 == 1)
                    view.ProcessMessages();
            }
            const std::string checksum = ReceiveBytes(link, 2);
            if (ByteSum(data) != ByteAt(checksum, 0) + 256 * ByteAt(checksum, 1))
                ThrowDamaged(what);
            if (data.size() > 4)
                writer.Write(std::string_view(data).substr(4));
            link.SendAck();
            head = ReceiveBytes(link, 2);
        } while (ByteAt(head, 1) != Cmd::EOT);
        ReceiveBytes(link, 2);
        link.SendAck();

        record.finish = static_cast<int32_t>(writer.Position());
        record.length = record.finish - record.start;
        const std::string bytes = std::to_string(record.length) + " bytes";
        view.ShowStatus("Backup received!(" + bytes + ")");
        view.SetLabel(LabelId::trLabel, "Backup is successfully received. (" + bytes + ")");
        writer.AddRecord(record);
        writer.Close();
        result = true;
    } catch (const std::exception& e) {
        view.ErrorDialog(ErrorDialogText("receiving the backup", e));
        try {
            store.Clear();
        } catch (const std::exception&) {
            // The store could not even be emptied; the next receive replaces it.
        }
    }
    if (result && autoAdvance)
        view.ClickNextButton();
    view.ShowStatus("(none)");
    view.TransferMode(false);
    return result;
}
