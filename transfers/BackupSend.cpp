#include "transfers/BackupSend.h"

#include <algorithm>
#include <filesystem>

#include "files/ByteSource.h"
#include "files/FileFormat.h"
#include "link/Exceptions.h"
#include "link/PacketCheck.h"
#include "link/PacketCommands.h"
#include "link/Ti92Link.h"
#include "link/TransferView.h"
#include "transfers/BackupImage.h"
#include "transfers/LinkBytes.h"

namespace {

constexpr size_t kBlockSize = 1024;

std::string Packet(uint8_t id, uint8_t command, const std::string& rest)
{
    return std::string{static_cast<char>(id), static_cast<char>(command)} + rest;
}

std::string BlocksSent(int counter)
{
    return " " + std::to_string(counter - 1) + " block was sent.";
}

// The backup's own header: its length, before the first block.
void SendBackupHeader(Ti92Link& link, TransferView& view, uint32_t length)
{
    view.ShowStatus("Sending header");
    const std::string headerData = LongBytes(length) + static_cast<char>(kTypeBackup);
    link.SendBytes(Packet(link.MachineIdSent(), Cmd::VAR, WordBytes(5) + headerData + WordBytes(ByteSum(headerData))));
    if (!link.GetAck())
        ThrowNoAck(link, "Did not got header ACK!", "The backup header");
}

// One block: its header, the calculator's clear to send, the data.
void SendBlock(Ti92Link& link, const std::string& data, int counter)
{
    const uint8_t id = link.MachineIdSent();
    link.SendBytes(Packet(id, Cmd::VAR,
                          WordBytes(5) + std::string(4, '\0') + std::string(2, static_cast<char>(kTypeBackup)) + '\0'));
    const std::string what = "block " + std::to_string(counter) + " of the backup";
    if (!link.GetAck())
        ThrowNoAck(link, "Did not got block ACK!" + BlocksSent(counter), "The header of " + what);
    ExpectCommand(ReceivePacketHead(link, "the clear to send for " + what), {Cmd::CTS},
                  "the clear to send for " + what);
    link.SendAck();

    const size_t block = data.size();
    link.SendBytes(Packet(id, Cmd::DATA, WordBytes(static_cast<uint16_t>(block)) + data + WordBytes(ByteSum(data))),
                   [&link](size_t) { link.pump().ProcessMessages(); });
    if (!link.GetAck())
        ThrowNoAck(link, "Did not got final ACK!" + BlocksSent(counter), "The data of " + what);
}

}  // namespace

bool SendBackup(Ti92Link& link, TransferView& view, const std::string& fileName)
{
    link.Aborted = 0;
    bool result = false;
    int counter = 0;
    const int p0 = view.BarPosition(ProgressBarId::Total);
    const std::string shownName = std::filesystem::path(fileName).filename().string();
    std::string report;
    try {
        const DiskBytes file(fileName);
        const std::string image = ReadCheckedImage(file, shownName);
        const auto length = static_cast<uint32_t>(image.size());
        link.PrepareLine();
        link.CheckReady();
        SendBackupHeader(link, view, length);

        view.SetBarMax(ProgressBarId::Variable, static_cast<int>(length));
        view.ShowStatus("Sending backup (" + std::to_string(length) + " bytes)");
        size_t sent = 0;
        do {
            ++counter;
            view.SetBarPosition(ProgressBarId::Variable, static_cast<int>(sent));
            view.SetBarPosition(ProgressBarId::Total, p0 + static_cast<int>(ti92::kSingleDataOffset + sent));
            view.ProcessMessages();
            const std::string data = image.substr(sent, kBlockSize);
            SendBlock(link, data, counter);
            sent += data.size();
        } while (sent < image.size());

        link.SendBytes(Packet(link.MachineIdSent(), Cmd::EOT, std::string(2, '\0')));
        view.ShowStatus("Backup sent completely!");
        report = "Backup (\"" + shownName + "\") was successfully sent.";
        view.SetBarPosition(ProgressBarId::Variable, view.BarMax(ProgressBarId::Variable));
        result = true;
    } catch (const std::exception& e) {
        view.ErrorDialog(ErrorDialogText("sending the backup", e));
        report = "An error (" + ErrorClassName(e) + ") occured while sending \"" + shownName + "\".";
    }
    view.StatusMemoAdd(report);
    view.ShowStatus("(none)");
    return result;
}
