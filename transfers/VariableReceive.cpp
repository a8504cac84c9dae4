#include "transfers/VariableReceive.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <vector>

#include "files/TempStore.h"
#include "link/Exceptions.h"
#include "link/PacketCommands.h"
#include "link/TTI92.h"
#include "transfers/DirectoryListing.h"
#include "link/TransferView.h"

namespace {

constexpr size_t kMaxRequestName = 20;

std::string Receive(TTI92& link, size_t count)
{
    std::string bytes;
    bytes.reserve(count);
    for (size_t i = 0; i < count; ++i)
        bytes += static_cast<char>(link.ReceiveByte());
    return bytes;
}

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

// Reads the variable's packets; writes the data as it arrives.
VariableOutcome ReadVariable(TTI92& link, TransferView& view, TempStoreWriter& writer,
                             const std::string& requestedName)
{
    const std::string head = Receive(link, 4);
    if (At(head, 1) != Cmd::VAR)
        return VariableOutcome::NotVariableHeader;

    view.ShowStatus("Getting header");
    const std::string info = Receive(link, 6);
    const uint8_t type = At(info, 4);
    const std::string headerName = Receive(link, At(info, 5));
    std::string recordName = (requestedName.empty() ? headerName : requestedName).substr(0, kMaxStoredName);
    Receive(link, 2);
    link.SendAck();
    link.SendCts();

    // The calculator's ACK, the data packet's header and its zero prefix.
    const std::string prefix = Receive(link, 12);
    const uint8_t command = At(prefix, 5);
    uint32_t sum = At(prefix, 8) + At(prefix, 9) + At(prefix, 10) + At(prefix, 11);

    IndexRecord record;
    record.name = recordName;
    record.type = type;
    record.start = static_cast<int32_t>(writer.Position());
    const std::string sizeWord = Receive(link, 2);
    writer.Write(sizeWord);
    sum += At(sizeWord, 0) + At(sizeWord, 1);
    const int size = 256 * At(sizeWord, 0) + At(sizeWord, 1);
    record.length = size + 2;

    view.SetBarMax(ProgressBarId::varBar, size);
    view.SetBarPosition(ProgressBarId::varBar, 0);
    view.ShowStatus("Getting " + std::to_string(size) + " bytes of data..");
    const int base = view.BarPosition(ProgressBarId::totBar);

    if (command != Cmd::DATA)
        return VariableOutcome::NotDataPacket;

    // About 50 updates per variable: each one lets window events run.
    const int step = std::max(1, (size / 100) * 2);
    for (int i = 1; i <= size; ++i) {
        const char byte = static_cast<char>(link.ReceiveByte());
        writer.Write(std::string_view(&byte, 1));
        sum += static_cast<uint8_t>(byte);
        if (i % step == 1) {
            view.SetBarPosition(ProgressBarId::varBar, i);
            view.SetBarPosition(ProgressBarId::totBar, base + i);
            view.ProcessMessages();
        }
    }
    const std::string checksum = Receive(link, 2);
    link.SendAck();
    Receive(link, 4);
    link.SendAck();

    const uint16_t expected = static_cast<uint16_t>(At(checksum, 0) + 256 * At(checksum, 1));
    if (expected != static_cast<uint16_t>(sum)) {
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

std::string DamagedText(const std::vector<std::string>& names)
{
    std::string list;
    for (const auto& n : names)
        list += (list.empty() ? "" : ", ") + n;
    return "The data of " + list + " arrived damaged (checksum error) and " +
           (names.size() == 1 ? "was" : "were") + " not stored.\rPlease receive " +
           (names.size() == 1 ? "it" : "them") + " again.";
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
    try {
        link.CheckReady();
        const std::vector<ListItem> items = view.ListViewItems(ListViewId::ListView1);
        const bool any = wholeContent || std::any_of(items.begin(), items.end(),
                                                     [](const ListItem& i) { return i.selected; });
        std::vector<std::string> damaged;
        if (any) {
            view.ShowStatus("Calc OK, creating variable list");
            view.SetBarMax(ProgressBarId::totBar, 0);
            view.SetBarPosition(ProgressBarId::totBar, 0);
            std::vector<Request> requests;
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

            for (size_t j = 0; j < requests.size(); ++j) {
                const Request& r = requests[j];
                current = r.name;
                link.clock().Sleep(200);
                if (!link.CheckReady())
                    continue;
                view.ShowStatus("Calculator ready, requesting variable");
                for (char c : VariableRequestPacket(link.MachineIdSent(), r.name, r.type))
                    link.SendByte(static_cast<uint8_t>(c));
                if (!link.GetAck())
                    continue;
                view.ShowStatus("Request accepted");
                view.SetLabel(LabelId::trLabel, "Transfer in progress.. (" + r.name + ")");
                view.VarListSelect(static_cast<int>(j));
                const VariableOutcome outcome = ReceiveVariable(link, view, store, j == 0, r.name);
                if (outcome == VariableOutcome::Stored) {
                    ++accepted;
                    view.SetLabel(LabelId::trLabel, "Transfer completed.. (#" + std::to_string(accepted) + ")");
                } else {
                    if (outcome == VariableOutcome::Damaged) {
                        damaged.push_back(r.name);
                        view.StatusMemoAdd(" The data of " + r.name +
                                           " arrived damaged (checksum error); it was not stored.");
                    }
                    view.SetLabel(LabelId::trLabel, "Not received.. (" + r.name + ")");
                }
                view.ShowStatus("(none)");
            }
        }
        if (!damaged.empty())
            view.ErrorDialog(DamagedText(damaged));
        if (accepted == built) {
            result = true;
            if (autoAdvance)
                view.ClickNextButton();
        }
        summary = std::to_string(accepted) + " of " + std::to_string(built) + " item(s) were received.";
    } catch (const std::exception& e) {
        view.ErrorDialog(ErrorDialogText("receiving " + current, e));
        summary = " An error (" + ErrorClassName(e) + ") occured while receiving variable(s).";
        result = false;
    }
    view.StatusMemoAdd(summary);
    view.TransferMode(false);
    return result;
}
