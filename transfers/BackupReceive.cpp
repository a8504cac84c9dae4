#include "transfers/BackupReceive.h"

#include "files/TempStore.h"
#include "link/Exceptions.h"
#include "link/PacketCheck.h"
#include "link/PacketCommands.h"
#include "link/Ti92Link.h"
#include "link/TransferView.h"
#include "transfers/DataBytes.h"
#include "transfers/LinkBytes.h"
#include "transfers/VariableReceive.h"

namespace {

constexpr size_t kMaxRecordName = 16;
// Window events run once per this many data bytes.
constexpr size_t kProgressStep = 1000;
// After GetRomVer the calculator is left in the middle of its backup; it
// gives up on it within this time.
constexpr uint32_t kAbandonWaitMs = 5000;
// A version text longer than this is no version.
constexpr uint8_t kMaxVersionLength = 32;

struct BlockHeader {
    uint32_t size = 0;  // image bytes the block's data packet carries
    std::string name;   // the ROM version
};

// The rest of a block header whose head has been read: size, type, name
// length and name, checksum; its length word must agree with the name.
BlockHeader ReadBlockHeader(Ti92Link& link, const PacketHead& head, const std::string& what)
{
    PacketSum sum;
    const std::string info = ReceiveBytes(link, 6, &sum);
    const uint8_t nameLength = ByteAt(info, 5);
    if (nameLength > kMaxVersionLength || head.word != 6 + nameLength)
        ThrowDamaged(what, "length " + std::to_string(head.word));
    BlockHeader header;
    header.name = ReceiveBytes(link, nameLength, &sum);
    ReceiveChecksum(link, sum, what);
    header.size =
        ByteAt(info, 0) | ByteAt(info, 1) << 8 | ByteAt(info, 2) << 16 | static_cast<uint32_t>(ByteAt(info, 3)) << 24;
    if (header.size > kMaxVariableBytes)
        ThrowDamaged(what, "size " + std::to_string(header.size));
    return header;
}

// Lets the window run while the calculator gives up on the backup.
void WaitForAbandon(Ti92Link& link, TransferView& view)
{
    const uint32_t start = link.clock().GetTickCount();
    while (link.clock().GetTickCount() - start < kAbandonWaitMs) {
        link.clock().Sleep(20);
        view.ProcessMessages();
    }
}

void RequestBackup(Ti92Link& link)
{
    link.SendString(BackupRequestPacket(link.MachineIdSent()));
    if (!link.GetAck())
        ThrowNoAck(link, "Did not got requestACK", "The backup request");
}

// One block whose header's head has been read: its header, the request for
// its data and the data packet, the image part written to the store. The
// first block's header names the record.
void ReceiveBlock(Ti92Link& link, TransferView& view, TempStoreWriter& writer, const PacketHead& head, int block,
                  IndexRecord& record)
{
    const std::string what = "block " + std::to_string(block) + " of the backup";
    const std::string headerWhat = "the header of " + what;
    ExpectCommand(head, {Cmd::VAR}, headerWhat);
    const BlockHeader header = ReadBlockHeader(link, head, headerWhat);
    if (block == 1)
        record.name = header.name.substr(0, kMaxRecordName);
    view.ShowStatus("Receiving block " + std::to_string(block) + " ROM v" + record.name);
    link.SendAck();
    link.SendString(std::string{static_cast<char>(link.MachineIdSent()), static_cast<char>(Cmd::CTS), 0, 4});
    if (!link.GetAck())
        ThrowNoAck(link, "Did not got Block-Header ACK", "The request for " + what);

    const PacketHead dataHead = ReceivePacketHead(link, what);
    ExpectCommand(dataHead, {Cmd::DATA}, what);
    // The first four data bytes are not part of the image.
    ExpectLength(dataHead, header.size + 4, header.size + 4, what);
    std::string data;
    data.reserve(dataHead.word);
    PacketSum sum;
    ReceiveDataBytes(
        link, dataHead.word, kProgressStep, sum, [&data](std::string_view run) { data += run; },
        [&view](size_t) { view.ProcessMessages(); });
    ReceiveChecksum(link, sum, what);
    writer.Write(std::string_view(data).substr(4));
    link.SendAck();
}

// The whole backup conversation into a fresh store, as one record.
void StoreBackup(Ti92Link& link, TransferView& view, const TempStore& store)
{
    TempStoreWriter writer(store, true);
    IndexRecord record;
    record.type = kTypeBackup;
    record.start = static_cast<int32_t>(writer.Position());

    link.PrepareLine();
    link.CheckReady();
    view.SetLabel(LabelId::Transfer, "Getting memory-backup (Size is unknown, so progressbar is not enabled!)");
    view.ShowStatus("Requesting backup");
    RequestBackup(link);
    PacketHead head = ReceivePacketHead(link, "the header of block 1 of the backup");
    view.ShowStatus("Receiving backup");
    // Only a whole end packet after a whole block ends the backup: a
    // damaged byte in a header must not make a shortened image look whole.
    for (int block = 1; block == 1 || head.command != Cmd::EOT; ++block) {
        ReceiveBlock(link, view, writer, head, block, record);
        head = ReceivePacketHead(link, "the packet after block " + std::to_string(block) + " of the backup");
    }
    ExpectEndPacket(head, Cmd::EOT, "the end of the backup");
    link.SendAck();

    record.finish = static_cast<int32_t>(writer.Position());
    record.length = record.finish - record.start;
    const std::string bytes = std::to_string(record.length) + " bytes";
    view.ShowStatus("Backup received!(" + bytes + ")");
    view.SetLabel(LabelId::Transfer, "Backup is successfully received. (" + bytes + ")");
    writer.AddRecord(record);
    writer.Close();
}

}  // namespace

std::string BackupRequestPacket(uint8_t machineId)
{
    return VariableRequestPacket(machineId, "main\\backup", kTypeBackup);
}

std::string GetRomVer(Ti92Link& link, TransferView& view)
{
    const TransferScope transfer(view);
    std::string version;
    try {
        link.PrepareLine();
        link.CheckReady();
        view.ShowStatus("Requesting backup");
        RequestBackup(link);
        const std::string what = "the backup header";
        const PacketHead head = ReceivePacketHead(link, what);
        view.ShowStatus("Receiving versionnumber");
        ExpectCommand(head, {Cmd::VAR}, what);
        version = ReadBlockHeader(link, head, what).name;
        view.ShowStatus("Versionnumber received");
        WaitForAbandon(link, view);
    } catch (...) {
        view.ShowStatus("(none)");
        throw;
    }
    view.ShowStatus("(none)");
    return version;
}

bool ReceiveBackup(Ti92Link& link, TransferView& view, const TempStore& store, bool autoAdvance)
{
    const TransferScope transfer(view);
    view.SetLabel(LabelId::VariablesHeading, "Thing to get");
    view.VarListSelect(0);
    bool result = false;
    try {
        StoreBackup(link, view, store);
        result = true;
        // The page shows a backup that arrived whole.
        for (ProgressBarId bar : {ProgressBarId::Variable, ProgressBarId::Total}) {
            view.SetBarMax(bar, 1);
            view.SetBarPosition(bar, 1);
        }
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
    return result;
}
