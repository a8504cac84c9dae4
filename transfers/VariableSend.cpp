#include "transfers/VariableSend.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "files/ByteSource.h"
#include "files/EntryTable.h"
#include "files/FileFormat.h"
#include "link/Exceptions.h"
#include "link/PacketCheck.h"
#include "link/PacketCommands.h"
#include "link/Ti92Link.h"
#include "link/TransferView.h"
#include "transfers/LinkBytes.h"
#include "transfers/SendPlan.h"

namespace {

void SendHeader(Ti92Link& link, TransferView& view, const WorkRecord& w)
{
    const auto n = static_cast<uint8_t>(w.fullName.size());
    const std::string data = WordBytes(static_cast<uint16_t>(w.size)) + std::string(2, '\0') +
                             static_cast<char>(w.type) + static_cast<char>(n) + w.fullName;
    view.ProcessMessages();
    link.SendBytes(
        std::string{static_cast<char>(link.MachineIdSent()), static_cast<char>(Cmd::VAR), static_cast<char>(n + 6), 0} +
        data + WordBytes(ByteSum(data)));
}

// The data packet: zero prefix, size word and data, checksum, handed to the
// link whole. The bars move at every fiftieth of the variable the link has
// handed over, and each update lets window events run.
void SendData(Ti92Link& link, TransferView& view, const ByteSource& file, const WorkRecord& w, int p0)
{
    const int v = static_cast<int>(w.size);
    view.SetBarMax(ProgressBarId::Variable, v - 3);
    view.SetBarPosition(ProgressBarId::Variable, 0);
    const uint64_t from = uint64_t(w.dataOffset) + 4;  // the size word
    const std::string bytes = ReadBytesAt(file, from, w.size);
    const int interval = std::max(1, 2 * (v / 100));
    view.ShowStatus("Sending data for " + w.fullName + " (" + std::to_string(v) + " bytes)");

    const std::string head = std::string{static_cast<char>(link.MachineIdSent()), static_cast<char>(Cmd::DATA)} +
                             WordBytes(static_cast<uint16_t>(w.size + 4)) + std::string(4, '\0');
    int shown = 0;
    link.SendBytes(head + bytes + WordBytes(ByteSum(bytes)), [&](size_t handed) {
        const auto upTo = static_cast<int>(std::min<size_t>(handed - std::min(handed, head.size()), bytes.size()));
        for (int j = shown + 1; j <= upTo; ++j) {
            if (j % interval != 1)
                continue;
            view.SetBarPosition(ProgressBarId::Variable, j);
            view.SetBarPosition(ProgressBarId::Total, p0 + static_cast<int>(from) + j);
            view.ProcessMessages();
        }
        shown = std::max(shown, upTo);
    });
    view.SetBarPosition(ProgressBarId::Variable, v - 3);
}

}  // namespace

bool Send92g(Ti92Link& link, TransferView& view, const std::string& fileName, const std::set<size_t>& leaveOut,
             const std::string& shownAs)
{
    link.Aborted = 0;
    const int p0 = view.BarPosition(ProgressBarId::Total);
    int handled = 0;
    size_t entries = 0;
    try {
        view.ShowStatus("Opening file");
        const DiskBytes file(fileName);
        const std::string shownName = shownAs.empty() ? std::filesystem::path(fileName).filename().string() : shownAs;
        const std::vector<WorkRecord> plan = PlanSend(file, shownName);
        entries = plan.size();
        link.PrepareLine();

        for (size_t index = 0; index < plan.size(); ++index) {
            const WorkRecord& w = plan[index];
            view.ProcessMessages();
            view.ShowStatus("Reading header");
            if (w.folder || leaveOut.count(index)) {
                ++handled;
                continue;
            }
            if (!link.CheckReady())
                ThrowNoAck(link, "Calculator not ready. Transfer aborted.", "The ready check");
            view.ShowStatus("Sending header");
            SendHeader(link, view, w);
            if (!link.GetAck())
                ThrowNoAck(link, "Did not get OK to send variable! Memory full? Transfer aborted.",
                           "The header of " + w.fullName);
            if (!link.GetCts())
                ThrowNoAck(link, "Did not get the REQUESTION ACK! Transfer aborted.",
                           "The clear to send for " + w.fullName);
            view.ShowStatus("Sending dataheader");
            link.SendAck();
            SendData(link, view, file, w, p0);
            if (!link.GetAck())
                ThrowNoAck(link, "Did not get the DATA ACK! Transfer aborted.", "The data of " + w.fullName);
            view.ShowStatus("Variable sent successfully!");
            link.SendBytes(std::string{static_cast<char>(link.MachineIdSent()), static_cast<char>(Cmd::EOT), 0, 0});
            // The calculator keeps the variable only once it has taken the end.
            if (!link.GetAck())
                ThrowNoAck(link, "The calculator did not take the end of " + w.fullName + ". Transfer aborted.",
                           "The end of " + w.fullName);
            ++handled;
            view.ShowStatus(std::to_string(handled) + " variable(s) was sent!");
        }
        view.StatusMemoAdd("\"" + shownName + "\" was successfully sent.");
    } catch (...) {
        view.ShowStatus("(none)");
        throw;
    }
    view.ShowStatus("(none)");
    return static_cast<size_t>(handled) == entries;
}
