#include "transfers/VariableReceive.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "files/TempStore.h"
#include "link/Exceptions.h"
#include "link/PacketCheck.h"
#include "link/PacketCommands.h"
#include "link/Ti92Link.h"
#include "link/TransferView.h"
#include "transfers/DataBytes.h"
#include "transfers/DirectoryListing.h"

namespace {

constexpr size_t kMaxRequestName = 20;

uint8_t At(const std::string& bytes, size_t i)
{
    return static_cast<uint8_t>(bytes[i]);
}

int SizeColumn(const ListItem& item)
{
    if (item.subItems.size() < 2)
        return 0;
    try {
        return std::stoi(item.subItems[1]);
    } catch (const std::exception&) {
        return 0;
    }
}

struct Request {
    std::string name;
    uint8_t type = 0;
};

// What a variable header announced.
struct VariableHeader {
    uint32_t bytes = 0;  // size word and data
    uint8_t type = 0;
    std::string recordName;  // as requested, else as the header names it
};

// The variable header, answered with ACK and CTS; nothing when the
// calculator refused instead.
std::optional<VariableHeader> ReadVariableHeader(Ti92Link& link, TransferView& view, const std::string& requestedName,
                                                 const std::string& what)
{
    const PacketHead head = ReceivePacketHead(link, what);
    if (head.command != Cmd::VAR) {
        if (!IsRefusal(head))
            ExpectCommand(head, {Cmd::VAR}, what);
        return std::nullopt;
    }
    view.ShowStatus("Getting header");
    PacketSum sum;
    const std::string info = ReceiveBytes(link, 6, &sum);
    VariableHeader header;
    header.bytes = static_cast<uint32_t>(At(info, 0) | At(info, 1) << 8 | At(info, 2) << 16 |
                                         static_cast<uint32_t>(At(info, 3)) << 24);
    header.type = At(info, 4);
    if (head.word != 6 + At(info, 5))
        ThrowDamaged(what, "length " + std::to_string(head.word));
    const std::string headerName = ReceiveBytes(link, At(info, 5), &sum);
    ReceiveChecksum(link, sum, what);
    if (header.bytes < 2 || header.bytes > kMaxVariableBytes)
        ThrowDamaged(what, "size " + std::to_string(header.bytes));
    header.recordName = (requestedName.empty() ? headerName : requestedName).substr(0, kMaxStoredName);
    link.SendAck();
    link.SendCts();
    return header;
}

// The calculator's ACK and the head of its data packet; false when it
// refused instead of sending the data.
bool ReceiveDataHead(Ti92Link& link, const VariableHeader& header, const std::string& shownName)
{
    const std::string ackWhat = "the acknowledgement of " + shownName;
    ExpectCommand(ReceivePacketHead(link, ackWhat), {Cmd::ACK}, ackWhat);
    const std::string what = "the data of " + shownName;
    const PacketHead data = ReceivePacketHead(link, what);
    if (data.command != Cmd::DATA) {
        if (!IsRefusal(data))
            ExpectCommand(data, {Cmd::DATA}, what);
        return false;
    }
    // The zero prefix, the size word and the data the header announced.
    ExpectLength(data, header.bytes + 4, header.bytes + 4, what);
    return true;
}

// The data packet's bytes into the store, the bars moving; then the
// calculator's end of transmission. False when the data arrived damaged.
bool ReadVariableData(Ti92Link& link, TransferView& view, TempStoreWriter& writer, const VariableHeader& header,
                      const std::string& shownName)
{
    PacketSum sum;
    ReceiveBytes(link, 4, &sum);
    const std::string sizeWord = ReceiveBytes(link, 2, &sum);
    writer.Write(sizeWord);
    const int size = static_cast<int>(header.bytes) - 2;
    const bool sizeWordOk = 256 * At(sizeWord, 0) + At(sizeWord, 1) == size;

    view.SetBarMax(ProgressBarId::Variable, size);
    view.SetBarPosition(ProgressBarId::Variable, 0);
    view.ShowStatus("Getting " + std::to_string(size) + " bytes of data..");
    const int base = view.BarPosition(ProgressBarId::Total);
    // About 50 updates per variable: each one lets window events run.
    const auto step = static_cast<size_t>(std::max(1, (size / 100) * 2));
    ReceiveDataBytes(
        link, static_cast<size_t>(size), step, sum, [&writer](std::string_view run) { writer.Write(run); },
        [&view, base](size_t i) {
            view.SetBarPosition(ProgressBarId::Variable, static_cast<int>(i));
            view.SetBarPosition(ProgressBarId::Total, base + static_cast<int>(i));
            view.ProcessMessages();
        });
    const bool checksumOk = ChecksumMatches(link, sum);
    link.SendAck();
    ReceiveEndPacket(link, Cmd::EOT, "the end of " + shownName);
    link.SendAck();
    if (!checksumOk || !sizeWordOk)
        return false;
    view.ShowStatus("Data completed!");
    view.SetBarPosition(ProgressBarId::Variable, size);
    view.SetBarPosition(ProgressBarId::Total, base + size);
    return true;
}

void AddListRow(Ti92Link& link, TransferView& view, const IndexRecord& record)
{
    ListItem row;
    row.caption = record.name;
    row.subItems = {TypeNameOf(link, record.type), std::to_string(record.length)};
    row.data = record.type;
    view.ListViewAdd(ListViewId::Received, row);
}

// Reads the variable's packets; writes the data as it arrives. Damage that
// leaves the packets' framing in doubt throws EDamagedReply at once; damaged
// data of a sound packet is read to its end, the conversation finished and
// the variable reported damaged.
VariableOutcome ReadVariable(Ti92Link& link, TransferView& view, TempStoreWriter& writer,
                             const std::string& requestedName)
{
    const std::string shownName = requestedName.empty() ? std::string("the variable") : requestedName;
    const std::optional<VariableHeader> header =
        ReadVariableHeader(link, view, requestedName, "the header of " + shownName);
    if (!header)
        return VariableOutcome::NotVariableHeader;
    if (!ReceiveDataHead(link, *header, shownName))
        return VariableOutcome::NotDataPacket;

    IndexRecord record;
    record.name = header->recordName;
    record.type = header->type;
    record.start = static_cast<int32_t>(writer.Position());
    record.length = static_cast<int32_t>(header->bytes);
    if (!ReadVariableData(link, view, writer, *header, shownName)) {
        view.ShowStatus("Checksum error, " + record.name + " not stored");
        return VariableOutcome::Damaged;
    }
    record.finish = static_cast<int32_t>(writer.Position());
    writer.AddRecord(record);
    AddListRow(link, view, record);
    return VariableOutcome::Stored;
}

// A variable that was not received, and why.
struct Missed {
    std::string name;
    std::string reason;
};

std::string Uncapitalised(std::string s)
{
    if (!s.empty() && s[0] >= 'A' && s[0] <= 'Z')
        s[0] = static_cast<char>(s[0] - 'A' + 'a');
    if (!s.empty() && s.back() == '.')
        s.pop_back();
    return s;
}

// An error that ended the run, on one line.
std::string ErrorReason(const std::exception& e)
{
    std::string text = e.what();
    std::replace(text.begin(), text.end(), '\r', ' ');
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    return ErrorClassName(e) + ": " + text;
}

std::string OutcomeReason(VariableOutcome outcome)
{
    switch (outcome) {
    case VariableOutcome::NotVariableHeader:
        return "refused (the calculator sent no variable header)";
    case VariableOutcome::NotDataPacket:
        return "refused (the calculator sent no data)";
    case VariableOutcome::Damaged:
        return "its data arrived damaged (checksum error)";
    case VariableOutcome::Stored:
        break;
    }
    return {};
}

// "name: reason", one per line, as the dialog and the report name them.
std::string MissedLine(const Missed& m)
{
    return m.name + ": " + m.reason + ".";
}

std::string MissedDialogText(const std::vector<Missed>& missed)
{
    std::string text = missed.size() == 1 ? "This variable was not received:" : "These variables were not received:";
    for (const Missed& m : missed)
        text += "\r" + MissedLine(m);
    return text + "\rPlease receive " + (missed.size() == 1 ? "it" : "them") + " again.";
}

// The missed variables into the status report, one line each.
void ReportMissed(TransferView& view, const std::vector<Missed>& missed)
{
    for (const Missed& m : missed)
        view.StatusMemoAdd(" Not received: " + MissedLine(m));
}

// Names every variable an error that ended the run cost.
void AddMissedAfterError(std::vector<Missed>& missed, const std::vector<Request>& requests, size_t next,
                         const std::exception& e)
{
    if (next < requests.size())
        missed.push_back({requests[next].name, ErrorReason(e)});
    for (size_t k = next + 1; k < requests.size(); ++k)
        missed.push_back({requests[k].name, "not requested after the error"});
}

// The selected rows of the listing (every row for the whole content) as
// requests; the total bar set to their sizes, the received list and the
// store emptied. Nothing when no row is selected.
std::vector<Request> PrepareRequests(TransferView& view, const TempStore& store, bool wholeContent)
{
    const std::vector<ListItem> items = view.ListViewItems(ListViewId::Calculator);
    if (!wholeContent && std::none_of(items.begin(), items.end(), [](const ListItem& i) { return i.selected; }))
        return {};
    view.ShowStatus("Calc OK, creating variable list");
    view.SetBarMax(ProgressBarId::Total, 0);
    view.SetBarPosition(ProgressBarId::Total, 0);
    std::vector<Request> requests;
    int total = 0;
    for (const ListItem& item : items) {
        if (!wholeContent && !item.selected)
            continue;
        requests.push_back({item.caption.substr(0, kMaxRequestName), static_cast<uint8_t>(item.data & 0xFF)});
        total += SizeColumn(item);
    }
    view.SetBarMax(ProgressBarId::Total, total);
    view.ListViewClear(ListViewId::Received);
    store.Clear();
    return requests;
}

// One variable's conversation: ready check, request, the variable. Gives
// why it was not received, or nothing when it was stored. `index` counts
// requests from 0, `accepted` the variables stored before this one.
std::optional<std::string> ReceiveRequested(Ti92Link& link, TransferView& view, const TempStore& store,
                                            const Request& r, size_t index, size_t accepted)
{
    // The pause before each request also lets whatever a cut-short
    // conversation left on the line arrive, and drops it.
    link.PrepareLine(200);
    if (!link.CheckReady())
        return "the ready check " + AckProblem(link);
    view.ShowStatus("Calculator ready, requesting variable");
    for (char c : VariableRequestPacket(link.MachineIdSent(), r.name, r.type))
        link.SendByte(static_cast<uint8_t>(c));
    if (!link.GetAck())
        return "the request " + AckProblem(link);
    view.ShowStatus("Request accepted");
    view.SetLabel(LabelId::Transfer, "Transfer in progress.. (" + r.name + ")");
    view.VarListSelect(static_cast<int>(index));
    std::string reason;
    try {
        const VariableOutcome outcome = ReceiveVariable(link, view, store, index == 0, r.name);
        if (outcome == VariableOutcome::Stored) {
            view.SetLabel(LabelId::Transfer, "Transfer completed.. (#" + std::to_string(accepted + 1) + ")");
            view.ShowStatus("(none)");
            return std::nullopt;
        }
        reason = OutcomeReason(outcome);
    } catch (const EDamagedReply& e) {
        reason = Uncapitalised(e.what());
    }
    view.SetLabel(LabelId::Transfer, "Not received.. (" + r.name + ")");
    view.ShowStatus("(none)");
    return reason;
}

}  // namespace

std::string VariableRequestPacket(uint8_t machineId, const std::string& name, uint8_t type)
{
    const std::string n = name.substr(0, kMaxRequestName);
    const auto length = static_cast<uint8_t>(n.size());
    std::string packet;
    packet += static_cast<char>(machineId);
    packet += static_cast<char>(Cmd::REQ);
    packet += static_cast<char>(length + 6);
    packet += std::string(5, '\0');
    packet += static_cast<char>(type);
    packet += static_cast<char>(length);
    packet += n;
    uint16_t sum = static_cast<uint16_t>(type + length);
    for (char c : n)
        sum = static_cast<uint16_t>(sum + static_cast<uint8_t>(c));
    packet += static_cast<char>(sum & 0xFF);
    packet += static_cast<char>(sum >> 8);
    return packet;
}

VariableOutcome ReceiveVariable(Ti92Link& link, TransferView& view, const TempStore& store, bool first,
                                const std::string& name)
{
    const TransferScope transfer(view);
    view.ShowStatus("Opening temporary files");
    UnfinishedItem item(store, first);
    TempStoreWriter writer(store, first);
    const VariableOutcome outcome = ReadVariable(link, view, writer, name);
    writer.Close();
    if (outcome == VariableOutcome::Stored)
        item.Keep();
    return outcome;
}

bool ReceiveAll(Ti92Link& link, TransferView& view, const TempStore& store, bool autoAdvance, bool wholeContent)
{
    const TransferScope transfer(view);
    view.SetLabel(LabelId::VariablesHeading, "Variables to get");
    std::vector<Request> requests;
    std::vector<Missed> missed;
    size_t next = 0;  // the request being worked on
    size_t accepted = 0;
    std::string summary;
    bool result = false;
    try {
        link.PrepareLine();
        link.CheckReady();
        requests = PrepareRequests(view, store, wholeContent);
        for (; next < requests.size(); ++next) {
            if (auto reason = ReceiveRequested(link, view, store, requests[next], next, accepted))
                missed.push_back({requests[next].name, *reason});
            else
                ++accepted;
        }
        if (!missed.empty())
            view.ErrorDialog(MissedDialogText(missed));
        result = accepted == requests.size();
        // The list's sizes are estimates; a full receive shows a full bar.
        if (result)
            view.SetBarPosition(ProgressBarId::Total, view.BarMax(ProgressBarId::Total));
        summary = std::to_string(accepted) + " of " + std::to_string(requests.size()) + " item(s) were received.";
    } catch (const std::exception& e) {
        const std::string current = next < requests.size() ? requests[next].name : std::string();
        view.ErrorDialog(ErrorDialogText("receiving " + current, e));
        AddMissedAfterError(missed, requests, next, e);
        summary = " An error (" + ErrorClassName(e) + ") occured while receiving variable(s).";
        result = false;
    }
    ReportMissed(view, missed);
    if (result && autoAdvance)
        view.ClickNextButton();
    view.StatusMemoAdd(summary);
    return result;
}
