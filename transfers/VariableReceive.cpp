#include "transfers/VariableReceive.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <vector>

#include "files/TempStore.h"
#include "link/Exceptions.h"
#include "link/PacketCheck.h"
#include "link/PacketCommands.h"
#include "link/TTI92.h"
#include "transfers/DirectoryListing.h"
#include "link/TransferView.h"

namespace {

constexpr size_t kMaxRequestName = 20;

uint8_t At(const std::string& bytes, size_t i)
{
    return static_cast<uint8_t>(bytes[i]);
}

// Drops whatever an unfinished variable left at the end of the data file, so
// the store holds only complete items.
void CutBack(const TempStore& store, uint64_t size)
{
    std::error_code ec;
    if (std::filesystem::exists(store.DataPath(), ec) && std::filesystem::file_size(store.DataPath(), ec) > size)
        std::filesystem::resize_file(store.DataPath(), size, ec);
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

// Reads the variable's packets; writes the data as it arrives. Damage that
// leaves the packets' framing in doubt throws EDamagedReply at once; damaged
// data of a sound packet is read to its end, the conversation finished and
// the variable reported damaged.
VariableOutcome ReadVariable(TTI92& link, TransferView& view, TempStoreWriter& writer,
                             const std::string& requestedName)
{
    const std::string shownName = requestedName.empty() ? std::string("the variable") : requestedName;
    const std::string headerWhat = "the header of " + shownName;
    const PacketHead head = ReceivePacketHead(link, headerWhat);
    if (head.command != Cmd::VAR) {
        if (!IsRefusal(head))
            ExpectCommand(head, {Cmd::VAR}, headerWhat);
        return VariableOutcome::NotVariableHeader;
    }

    view.ShowStatus("Getting header");
    PacketSum headerSum;
    const std::string info = ReceiveBytes(link, 6, &headerSum);
    const uint32_t bytes = static_cast<uint32_t>(At(info, 0) | At(info, 1) << 8 | At(info, 2) << 16 |
                                                 static_cast<uint32_t>(At(info, 3)) << 24);
    const uint8_t type = At(info, 4);
    if (head.word != 6 + At(info, 5))
        ThrowDamaged(headerWhat, "length " + std::to_string(head.word));
    const std::string headerName = ReceiveBytes(link, At(info, 5), &headerSum);
    ReceiveChecksum(link, headerSum, headerWhat);
    if (bytes < 2 || bytes > kMaxVariableBytes)
        ThrowDamaged(headerWhat, "size " + std::to_string(bytes));
    std::string recordName = (requestedName.empty() ? headerName : requestedName).substr(0, kMaxStoredName);
    link.SendAck();
    link.SendCts();

    const std::string dataWhat = "the data of " + shownName;
    const PacketHead ack = ReceivePacketHead(link, "the acknowledgement of " + shownName);
    ExpectCommand(ack, {Cmd::ACK}, "the acknowledgement of " + shownName);
    const PacketHead data = ReceivePacketHead(link, dataWhat);
    if (data.command != Cmd::DATA) {
        if (!IsRefusal(data))
            ExpectCommand(data, {Cmd::DATA}, dataWhat);
        return VariableOutcome::NotDataPacket;
    }
    // The zero prefix, the size word and the data the header announced.
    ExpectLength(data, bytes + 4, bytes + 4, dataWhat);
    PacketSum sum;
    ReceiveBytes(link, 4, &sum);

    IndexRecord record;
    record.name = recordName;
    record.type = type;
    record.start = static_cast<int32_t>(writer.Position());
    const std::string sizeWord = ReceiveBytes(link, 2, &sum);
    writer.Write(sizeWord);
    const int size = static_cast<int>(bytes) - 2;
    const bool sizeWordOk = 256 * At(sizeWord, 0) + At(sizeWord, 1) == size;
    record.length = size + 2;

    view.SetBarMax(ProgressBarId::varBar, size);
    view.SetBarPosition(ProgressBarId::varBar, 0);
    view.ShowStatus("Getting " + std::to_string(size) + " bytes of data..");
    const int base = view.BarPosition(ProgressBarId::totBar);

    // About 50 updates per variable: each one lets window events run.
    const int step = std::max(1, (size / 100) * 2);
    for (int i = 1; i <= size; ++i) {
        const auto byte = static_cast<uint8_t>(link.ReceiveByte());
        const char c = static_cast<char>(byte);
        writer.Write(std::string_view(&c, 1));
        sum.Add(byte);
        if (i % step == 1) {
            view.SetBarPosition(ProgressBarId::varBar, i);
            view.SetBarPosition(ProgressBarId::totBar, base + i);
            view.ProcessMessages();
        }
    }
    const bool checksumOk = ChecksumMatches(link, sum);
    link.SendAck();
    ReceiveEndPacket(link, Cmd::EOT, "the end of " + shownName);
    link.SendAck();

    if (!checksumOk || !sizeWordOk) {
        view.ShowStatus("Checksum error, " + recordName + " not stored");
        return VariableOutcome::Damaged;
    }

    view.ShowStatus("Data completed!");
    view.SetBarPosition(ProgressBarId::varBar, size);
    view.SetBarPosition(ProgressBarId::totBar, base + size);
    record.finish = static_cast<int32_t>(writer.Position());
    writer.AddRecord(record);

    ListItem row;
    row.caption = recordName;
    row.subItems = {TypeNameOf(link, type), std::to_string(record.length)};
    row.data = type;
    view.ListViewAdd(ListViewId::ListView2, row);
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
    case VariableOutcome::NotVariableHeader: return "refused (the calculator sent no variable header)";
    case VariableOutcome::NotDataPacket: return "refused (the calculator sent no data)";
    case VariableOutcome::Damaged: return "its data arrived damaged (checksum error)";
    case VariableOutcome::Stored: break;
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

VariableOutcome ReceiveVariable(TTI92& link, TransferView& view, const TempStore& store, bool first,
                                const std::string& name)
{
    view.TransferMode(true);
    view.ShowStatus("Opening temporary files");
    std::optional<uint64_t> startSize;
    VariableOutcome outcome = VariableOutcome::NotVariableHeader;
    try {
        TempStoreWriter writer(store, first);
        startSize = writer.Position();
        outcome = ReadVariable(link, view, writer, name);
        writer.Close();
    } catch (...) {
        view.TransferMode(false);
        if (startSize)
            CutBack(store, *startSize);
        throw;
    }
    view.TransferMode(false);
    if (outcome != VariableOutcome::Stored && startSize)
        CutBack(store, *startSize);
    return outcome;
}

bool ReceiveAll(TTI92& link, TransferView& view, const TempStore& store, bool autoAdvance,
                bool wholeContent)
{
    bool result = false;
    std::string summary;
    std::string current;
    view.TransferMode(true);
    view.SetLabel(LabelId::Label18, "Variables to get");
    size_t built = 0;
    size_t accepted = 0;
    std::vector<Request> requests;
    std::vector<Missed> missed;
    size_t next = 0;   // the request being worked on
    try {
        link.PrepareLine();
        link.CheckReady();
        const std::vector<ListItem> items = view.ListViewItems(ListViewId::ListView1);
        const bool any = wholeContent || std::any_of(items.begin(), items.end(),
                                                     [](const ListItem& i) { return i.selected; });
        if (any) {
            view.ShowStatus("Calc OK, creating variable list");
            view.SetBarMax(ProgressBarId::totBar, 0);
            view.SetBarPosition(ProgressBarId::totBar, 0);
            int total = 0;
            for (const ListItem& item : items) {
                if (!wholeContent && !item.selected)
                    continue;
                requests.push_back({item.caption.substr(0, kMaxRequestName),
                                    static_cast<uint8_t>(item.data & 0xFF)});
                total += SizeColumn(item);
            }
            built = requests.size();
            view.SetBarMax(ProgressBarId::totBar, total);
            view.ListViewClear(ListViewId::ListView2);
            store.Clear();

            for (; next < requests.size(); ++next) {
                const size_t j = next;
                const Request& r = requests[j];
                current = r.name;
                // The pause before each request also lets whatever a cut-short
                // conversation left on the line arrive, and drops it.
                link.PrepareLine(200);
                if (!link.CheckReady()) {
                    missed.push_back({r.name, "the ready check " + AckProblem(link)});
                    continue;
                }
                view.ShowStatus("Calculator ready, requesting variable");
                for (char c : VariableRequestPacket(link.MachineIdSent(), r.name, r.type))
                    link.SendByte(static_cast<uint8_t>(c));
                if (!link.GetAck()) {
                    missed.push_back({r.name, "the request " + AckProblem(link)});
                    continue;
                }
                view.ShowStatus("Request accepted");
                view.SetLabel(LabelId::trLabel, "Transfer in progress.. (" + r.name + ")");
                view.VarListSelect(static_cast<int>(j));
                VariableOutcome outcome = VariableOutcome::Damaged;
                try {
                    outcome = ReceiveVariable(link, view, store, j == 0, r.name);
                } catch (const EDamagedReply& e) {
                    missed.push_back({r.name, Uncapitalised(e.what())});
                    view.SetLabel(LabelId::trLabel, "Not received.. (" + r.name + ")");
                    view.ShowStatus("(none)");
                    continue;
                }
                if (outcome == VariableOutcome::Stored) {
                    ++accepted;
                    view.SetLabel(LabelId::trLabel, "Transfer completed.. (#" + std::to_string(accepted) + ")");
                } else {
                    missed.push_back({r.name, OutcomeReason(outcome)});
                    view.SetLabel(LabelId::trLabel, "Not received.. (" + r.name + ")");
                }
                view.ShowStatus("(none)");
            }
        }
        if (!missed.empty())
            view.ErrorDialog(MissedDialogText(missed));
        for (const Missed& m : missed)
            view.StatusMemoAdd(" Not received: " + MissedLine(m));
        if (accepted == built) {
            result = true;
            if (autoAdvance)
                view.ClickNextButton();
        }
        summary = std::to_string(accepted) + " of " + std::to_string(built) + " item(s) were received.";
    } catch (const std::exception& e) {
        view.ErrorDialog(ErrorDialogText("receiving " + current, e));
        // Name every variable the error cost.
        if (next < requests.size())
            missed.push_back({requests[next].name, ErrorReason(e)});
        for (size_t k = next + 1; k < requests.size(); ++k)
            missed.push_back({requests[k].name, "not requested after the error"});
        for (const Missed& m : missed)
            view.StatusMemoAdd(" Not received: " + MissedLine(m));
        summary = " An error (" + ErrorClassName(e) + ") occured while receiving variable(s).";
        result = false;
    }
    view.StatusMemoAdd(summary);
    view.TransferMode(false);
    return result;
}
