#include "transfers/DirectoryListing.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/Exceptions.h"
#include "link/PacketCheck.h"
#include "link/PacketCommands.h"
#include "link/Ti92Link.h"
#include "link/TransferView.h"

namespace {

// REQ for the directory: four zero bytes, type 0x19, empty name.
const std::string kDirectoryRequest("\x09\xA2\x06\x00\x00\x00\x00\x00\x19\x00\x19\x00", 12);
// Clear to send with the word 0xFFFF: "send the next entry".
const std::string kListingCts("\x09\x09\xFF\xFF", 4);
// The calculator's "another entry follows" after an acknowledged entry.
constexpr uint8_t kMoreEntries = 0x78;
// An entry's data: 4 leading bytes, 8-byte name, type, attribute, size.
constexpr uint16_t kEntryBytes = 18;
constexpr size_t kMaxFolderName = 8;

uint8_t At(const std::string& bytes, size_t i)
{
    return static_cast<uint8_t>(bytes[i]);
}

// What the header announces per entry: the entry without its 4 leading bytes.
constexpr uint32_t kAnnouncedEntryBytes = kEntryBytes - 4;
// More entries than this cannot fit a TI-92's memory: a size field that
// would announce them is taken as saying nothing about the count.
constexpr uint32_t kMaxPlausibleEntries = 4096;
// Listings asked for before two that agree are given up on.
constexpr int kMaxPasses = 3;

// The header ahead of the entries, shaped like a variable header. Its size
// field gives the number of entries when it counts 14 bytes an entry; a
// calculator that puts something else there (free memory) announces nothing.
// Its name is the calculator's current folder (empty when it names none).
std::optional<uint32_t> ReceiveListingHeader(Ti92Link& link, std::string& currentFolder)
{
    const std::string what = "the directory header";
    const PacketHead head = ReceivePacketHead(link, what);
    ExpectCommand(head, {Cmd::VAR}, what);
    PacketSum sum;
    const std::string info = ReceiveBytes(link, 6, &sum);
    const uint8_t nameLength = At(info, 5);
    if (nameLength > kMaxFolderName || head.word != 6 + nameLength)
        ThrowDamaged(what, "length " + std::to_string(head.word));
    currentFolder = ReceiveBytes(link, nameLength, &sum);
    ReceiveChecksum(link, sum, what);
    const uint32_t size = At(info, 0) | At(info, 1) << 8 | At(info, 2) << 16 | static_cast<uint32_t>(At(info, 3)) << 24;
    if (size == 0 || size % kAnnouncedEntryBytes != 0 || size / kAnnouncedEntryBytes > kMaxPlausibleEntries)
        return std::nullopt;
    return size / kAnnouncedEntryBytes;
}

struct ListingPass {
    std::optional<uint32_t> announced;
    std::string currentFolder;
    uint32_t entries = 0;
    // Every entry, folders and locks included: two passes must agree on
    // all of it, or a folder or lock one of them lacks would pass unseen.
    std::vector<DirectoryEntry> read;
};

bool SameEntries(const std::vector<DirectoryEntry>& a, const std::vector<DirectoryEntry>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const DirectoryEntry& x, const DirectoryEntry& y) {
        return x.folder == y.folder && x.name == y.name && x.type == y.type && x.size == y.size && x.locked == y.locked;
    });
}

// Where a listing's rows go: a list view, or a vector; `entry`, when set,
// also takes every entry, folders included.
struct RowSink {
    std::function<void()> clear;
    std::function<void(const ListItem&)> add;
    std::function<void(const DirectoryEntry&)> entry = nullptr;
};

// The attribute byte's value of a locked variable.
constexpr uint8_t kAttributeLocked = 0x01;

// Asks for the listing and waits for its acknowledgement.
void RequestListing(Ti92Link& link, TransferView& view)
{
    link.PrepareLine();
    if (!link.CheckReady())
        ThrowAckProblem(link, "The ready check");
    view.ShowStatus("Requesting directorylist");
    link.SendString(kDirectoryRequest);
    if (!link.GetAck())
        ThrowAckProblem(link, "The directory request");
    view.ShowStatus("Receiving header");
}

// Asks for the next entry and reads it. A folder entry becomes `folder`,
// the folder of the variables that follow it.
DirectoryEntry ReceiveEntry(Ti92Link& link, TransferView& view, const std::string& what, std::string& folder)
{
    link.SendAck();
    link.SendString(kListingCts);
    // Without its acknowledgement the entry cannot be read in step.
    if (!link.GetAck())
        ThrowAckProblem(link, "The request for " + what);
    view.ShowStatus("Receiving data");
    const PacketHead head = ReceivePacketHead(link, what);
    ExpectCommand(head, {Cmd::DATA}, what);
    ExpectLength(head, kEntryBytes, kEntryBytes, what);
    PacketSum sum;
    const std::string entry = ReceiveBytes(link, kEntryBytes, &sum);
    ReceiveChecksum(link, sum, what);

    DirectoryEntry e;
    for (size_t i = 4; i < 12; ++i)
        if (entry[i] != 0)
            e.name += entry[i];
    e.type = At(entry, 12);
    if (e.type == kTypeFolder)
        folder = e.name;
    e.folder = folder;
    e.locked = e.type != kTypeFolder && At(entry, 13) == kAttributeLocked;
    for (size_t i = 0; i < 4; ++i)
        e.size |= static_cast<uint32_t>(At(entry, 14 + i)) << (8 * i);
    if (e.type != kTypeFolder && e.size > kMaxVariableBytes)
        ThrowDamaged(what, "size " + std::to_string(e.size));
    return e;
}

// One whole conversation: rows go into the sink as they arrive, so an abort
// keeps what was read.
ListingPass ReceiveListingPass(Ti92Link& link, TransferView& view, const RowSink& sink)
{
    ListingPass pass;
    sink.clear();
    RequestListing(link, view);
    pass.announced = ReceiveListingHeader(link, pass.currentFolder);
    std::string folder;
    std::string previous;
    for (;;) {
        const std::string what =
            previous.empty() ? "the first directory entry" : "the directory entry after " + previous;
        const DirectoryEntry e = ReceiveEntry(link, view, what, folder);
        ++pass.entries;
        previous = e.FullName();
        link.SendAck();
        const std::string nextWhat = "the packet after " + previous;
        const PacketHead next = ReceivePacketHead(link, nextWhat);
        // Anything but "another entry follows" or the end would be read past,
        // an entry it carried left out of a listing that looks whole.
        ExpectCommand(next, {kMoreEntries, Cmd::EOT}, nextWhat);
        if (next.command == Cmd::EOT)
            ExpectEndPacket(next, Cmd::EOT, nextWhat);
        if (e.type != kTypeFolder) {
            ListItem row;
            row.caption = e.FullName();
            row.subItems = {TypeNameOf(link, e.type), std::to_string(e.size)};
            row.data = e.type;
            sink.add(row);
        }
        pass.read.push_back(e);
        if (sink.entry)
            sink.entry(e);
        if (next.command == Cmd::EOT)
            break;
        view.ShowStatus("Received, more to get");
    }
    link.SendAck();
    return pass;
}

}  // namespace

bool DirectoryEntry::IsFolder() const
{
    return type == kTypeFolder;
}

std::string TypeNameOf(const Ti92Link& link, int code)
{
    if (code < 0 || code >= static_cast<int>(link.TypeNames.size()))
        return {};
    return link.TypeNames[static_cast<size_t>(code)];
}

// Listings until one can be trusted. A "more follows" packet whose command
// byte is damaged into an end is itself a well-formed end: only the count
// tells a listing cut short. When the header gives no count, or the count
// disagrees, the listing is asked for again and taken once two agree.
// Gives the current folder the trusted listing names.
static std::string ReadTrustedListing(Ti92Link& link, TransferView& view, const RowSink& sink)
{
    std::optional<ListingPass> earlier;
    for (int passNumber = 1;; ++passNumber) {
        ListingPass pass = ReceiveListingPass(link, view, sink);
        if (pass.announced && *pass.announced == pass.entries)
            return pass.currentFolder;
        if (earlier && earlier->entries == pass.entries && SameEntries(earlier->read, pass.read))
            return pass.currentFolder;
        if (passNumber == kMaxPasses)
            ThrowDamaged("the end of the directory",
                         std::to_string(kMaxPasses) + " listings disagreed (the last had " +
                             std::to_string(pass.entries) + " entries" +
                             (pass.announced ? " of " + std::to_string(*pass.announced) + " announced" : "") + ")");
        earlier = std::move(pass);
    }
}

static bool ReadListing(Ti92Link& link, TransferView& view, const RowSink& sink, std::string* currentFolder = nullptr)
{
    bool result = false;
    {
        const TransferScope transfer(view);
        try {
            const std::string folder = ReadTrustedListing(link, view, sink);
            if (currentFolder)
                *currentFolder = folder;
            result = true;
        } catch (const std::exception& e) {
            view.ErrorDialog(ErrorDialogText("receiving directorylist", e));
        }
    }
    view.ShowStatus("(none)");
    return result;
}

bool FetchDirectoryList(Ti92Link& link, TransferView& view, ListViewId list)
{
    return ReadListing(link, view,
                       {[&] { view.ListViewClear(list); }, [&](const ListItem& row) { view.ListViewAdd(list, row); }});
}

std::optional<std::vector<ListItem>> ReadDirectory(Ti92Link& link, TransferView& view, std::string* currentFolder)
{
    std::vector<ListItem> rows;
    if (!ReadListing(link, view, {[&] { rows.clear(); }, [&](const ListItem& row) { rows.push_back(row); }},
                     currentFolder))
        return std::nullopt;
    return rows;
}

std::optional<std::vector<DirectoryEntry>> ReadDirectoryEntries(Ti92Link& link, TransferView& view)
{
    std::vector<DirectoryEntry> entries;
    if (!ReadListing(link, view,
                     {[&] { entries.clear(); }, [](const ListItem&) {},
                      [&](const DirectoryEntry& e) { entries.push_back(e); }}))
        return std::nullopt;
    return entries;
}
