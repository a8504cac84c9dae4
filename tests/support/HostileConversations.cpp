#include "tests/support/HostileConversations.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "files/ByteSource.h"
#include "files/EntryTable.h"
#include "files/SaveAs92g.h"
#include "link/CableDoctor.h"
#include "link/CalculatorKeys.h"
#include "link/Exceptions.h"
#include "link/PacketCommands.h"
#include "sim/CalculatorLink.h"
#include "sim/SimSerialDevice.h"
#include "sim/VirtualTI92.h"
#include "tests/support/HostileScene.h"
#include "tests/support/ScriptedCalculatorEnd.h"
#include "tests/support/ScriptedCalculatorLine.h"
#include "tests/transfers/SentFiles.h"
#include "transfers/BackupReceive.h"
#include "transfers/CalculatorChange.h"
#include "transfers/DirectoryListing.h"
#include "transfers/FileListSend.h"
#include "transfers/RemoteKeyboard.h"
#include "transfers/ScreenCanvas.h"
#include "transfers/ScreenshotTransfer.h"
#include "transfers/VariableReceive.h"

namespace fs = std::filesystem;

namespace {

// ---- Packets as the bytes on the line hold them ----------------------------

uint8_t At(std::string_view bytes, size_t i)
{
    return static_cast<uint8_t>(bytes[i]);
}

uint16_t Sum(std::string_view bytes)
{
    uint16_t sum = 0;
    for (char c : bytes)
        sum = static_cast<uint16_t>(sum + static_cast<uint8_t>(c));
    return sum;
}

std::string Le16(size_t v)
{
    return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)};
}

struct LinePacket {
    uint8_t command = 0;
    uint16_t word = 0;
    std::string data;
    bool checksumOk = true;
};

// The packets of one side among bytes read or written: bytes before a
// machine id are skipped, as the link skips them before a reply. With
// `withData`, VAR and DATA packets carry `word` data bytes and a checksum;
// without, every packet is the 4 bytes the link reads for a reply. A packet
// cut short ends the list.
std::vector<LinePacket> Packets(std::string_view bytes, uint8_t id, bool withData)
{
    std::vector<LinePacket> packets;
    size_t at = 0;
    while (at + 4 <= bytes.size()) {
        if (At(bytes, at) != id) {
            ++at;
            continue;
        }
        LinePacket p;
        p.command = At(bytes, at + 1);
        p.word = static_cast<uint16_t>(At(bytes, at + 2) | At(bytes, at + 3) << 8);
        at += 4;
        if (withData && (p.command == Cmd::VAR || p.command == Cmd::DATA)) {
            if (at + p.word + 2 > bytes.size())
                break;
            p.data = std::string(bytes.substr(at, p.word));
            p.checksumOk = Sum(p.data) == (At(bytes, at + p.word) | At(bytes, at + p.word + 1) << 8);
            at += p.word + 2;
        }
        packets.push_back(p);
    }
    return packets;
}

const std::string& ReadyPacket()
{
    static const std::string kReady{static_cast<char>(kIdFromComputer), static_cast<char>(Cmd::RDY), 0, 0};
    return kReady;
}

bool Acknowledges(const LinePacket& p)
{
    return p.command == Cmd::ACK || p.command == Cmd::CTS;
}

// The replies a send reads, as a pattern: 'A' an acknowledgement (a clear
// to send counts), 'C' a clear to send, '?' anything else.
std::string ReplyPattern(std::string_view read)
{
    std::string pattern;
    for (const LinePacket& p : Packets(read, kIdFromCalculator, false))
        pattern += p.command == Cmd::CTS ? 'C' : Acknowledges(p) ? 'A' : '?';
    return pattern;
}

// Whether `replies` are the `expected` ones: 'A' also matches a 'C', '*'
// anything (an answer the routine does not look at).
bool RepliesMatch(const std::string& replies, const std::string& expected)
{
    if (replies.size() != expected.size())
        return false;
    for (size_t i = 0; i < replies.size(); ++i)
        if (replies[i] != expected[i] && expected[i] != '*' && !(expected[i] == 'A' && replies[i] == 'C'))
            return false;
    return true;
}

// Where a DATA packet from `from` on carries `payload` after a prefix of
// `prefix` bytes, with its length word and a valid checksum; npos if none.
size_t FindDataPacket(std::string_view read, size_t from, std::string_view payload, size_t prefix)
{
    const size_t head = 4 + prefix;
    for (size_t at = read.find(payload, from + head); at != std::string_view::npos; at = read.find(payload, at + 1)) {
        const size_t start = at - head;
        if (at + payload.size() + 2 > read.size())
            return std::string_view::npos;
        const std::string_view data = read.substr(start + 4, prefix + payload.size());
        const std::string_view sum = read.substr(at + payload.size(), 2);
        if (At(read, start) == kIdFromCalculator && At(read, start + 1) == Cmd::DATA &&
            read.substr(start + 2, 2) == Le16(data.size()) && sum == Le16(Sum(data)))
            return start;
    }
    return std::string_view::npos;
}

// ---- The calculator's content and the files sent ----------------------------

struct Wanted {
    const char* name;
    uint8_t type;
    int size;  // size word and data
};
const Wanted kWanted[] = {{"main\\prog", 0x12, 302}, {"main\\text", kTypeText, 122}, {"games\\x", 0x00, 7}};

void FillCalculator(VirtualTI92& calc)
{
    calc.AddVariable("main", "prog", 0x12, std::string(300, 'p'));
    calc.AddVariable("main", "text", kTypeText, std::string(120, 't'));
    calc.AddVariable("games", "x", 0x00, "12345");
    // For the home-screen commands: a locked variable and an empty folder.
    calc.AddVariable("main", "kept", 0x00, "1").locked = true;
    calc.Folder("empty");
    calc.InstallMemoryImage(PatternImage(2500));
}

const std::vector<FileVariable> kOneVariable = {{"main", "a", kTypeText, std::string(200, 'a')}};
const std::vector<FileVariable> kGroup = {{"main", "a", kTypeText, std::string(200, 'a')},
                                          {"main", "b", 0x12, std::string(70, 'b')},
                                          {"games", "c", 0x00, "12345"}};
const size_t kSentImageBytes = 1500;  // two blocks

void WriteOnce(const fs::path& path, const std::string& bytes)
{
    std::error_code ec;
    if (fs::exists(path, ec))
        return;
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    if (!out.flush())
        throw std::runtime_error("cannot write " + path.string());
}

void PrepareFolder(const fs::path& folder)
{
    fs::create_directories(folder);
    WriteOnce(folder / "a.92t", VariableFile(kOneVariable));
    WriteOnce(folder / "group.92g", VariableFile(kGroup));
    WriteOnce(folder / "backup.92b", BackupFile("1.11", PatternImage(kSentImageBytes)));
}

// ---- The conversations and what their success must mean --------------------

struct Verdict {
    bool success = false;
    std::string fault;
};

Verdict ReadyCheck(HostileScene& s)
{
    s.link.PrepareLine();
    Verdict v;
    v.success = s.link.CheckReady();
    const std::string replies = ReplyPattern(s.line->read);
    if (v.success && (replies.empty() || replies.back() == '?'))
        v.fault = "ready without an acknowledgement";
    return v;
}

// An entry packet with a valid checksum: a folder, or a variable with the
// folder of the folder entry before it.
struct ListedEntry {
    std::string name;  // folder\name, or the folder's name
    uint8_t type = 0;
    uint32_t size = 0;
    bool folder = false;
    bool locked = false;
    bool operator==(const ListedEntry&) const = default;
};

std::vector<ListedEntry> ListedEntries(std::string_view read)
{
    static const std::string kEntryHead("\x89\x15\x12\x00", 4);
    std::vector<ListedEntry> entries;
    std::string folder;
    for (size_t at = read.find(kEntryHead); at != std::string_view::npos && at + 24 <= read.size();
         at = read.find(kEntryHead, at)) {
        const std::string_view entry = read.substr(at + 4, 18);
        if (read.substr(at + 22, 2) != Le16(Sum(entry))) {
            ++at;
            continue;
        }
        std::string name;
        for (size_t i = 4; i < 12; ++i)
            if (entry[i] != 0)
                name += entry[i];
        ListedEntry e;
        e.type = At(entry, 12);
        e.size = At(entry, 14) | At(entry, 15) << 8 | At(entry, 16) << 16 | static_cast<uint32_t>(At(entry, 17)) << 24;
        e.folder = e.type == kTypeFolder;
        if (e.folder)
            folder = name;
        e.name = e.folder ? name : folder + "\\" + name;
        e.locked = !e.folder && At(entry, 13) == 1;
        entries.push_back(e);
        at += 24;
    }
    return entries;
}

// The rows the entry packets with valid checksums give, as "caption type size".
std::vector<std::string> EntryRows(std::string_view read)
{
    std::vector<std::string> rows;
    for (const ListedEntry& e : ListedEntries(read)) {
        if (e.folder)
            continue;
        rows.push_back(e.name + " " + std::to_string(e.type) + " " + std::to_string(e.size));
    }
    return rows;
}

Verdict Listing(HostileScene& s)
{
    Verdict v;
    v.success = FetchDirectoryList(s.link, s.view, ListViewId::Calculator);
    if (!v.success)
        return v;
    static const std::string kRequest("\x09\xA2\x06\x00\x00\x00\x00\x00\x19\x00\x19\x00", 12);
    std::vector<std::string> shown;
    for (const ListItem& row : s.view.lists[ListViewId::Calculator])
        shown.push_back(row.caption + " " + std::to_string(row.data) + " " +
                        (row.subItems.size() > 1 ? row.subItems[1] : "?"));
    if (shown != EntryRows(s.line->ReadAfterLast(kRequest)))
        v.fault = "the listing's rows differ from the entries sent";
    return v;
}

// Every stored variable must be the data of a sound packet, in order; so must
// the variables of the file they are saved in.
std::string CheckReceived(HostileScene& s, size_t count)
{
    const std::vector<IndexRecord> records = s.store.ReadIndex();
    if (records.size() != count)
        return std::to_string(records.size()) + " variables stored of " + std::to_string(count);
    size_t from = 0;
    std::vector<std::string> stored;
    for (size_t i = 0; i < count; ++i) {
        stored.push_back(s.store.ReadItem(records[i]));
        const size_t at = FindDataPacket(s.line->read, from, stored.back(), 4);
        if (at == std::string_view::npos)
            return "variable " + std::to_string(i + 1) + " stored without a sound data packet carrying it";
        if (records[i].name != kWanted[i].name)
            return "variable " + std::to_string(i + 1) + " stored as " + records[i].name;
        from = at + 1;
    }
    const fs::path saved = s.folder / (count == 1 ? "got.92s" : "got.92g");
    if (!SaveAs92g(s.view, s.store, true, saved.string(), false, false, ""))
        return "the received variables could not be saved";
    const DiskBytes file(saved);
    size_t i = 0;
    for (const FileEntry& e : ReadEntryTable(file).entries) {
        if (e.IsFolder())
            continue;
        if (i >= count || ReadVariableData(file, e) != stored[i])
            return "the saved file differs from the variables received";
        ++i;
    }
    return i == count ? std::string() : "the saved file lacks variables";
}

Verdict Receive(HostileScene& s, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        ListItem row;
        row.caption = kWanted[i].name;
        row.subItems = {TypeNameOf(s.link, kWanted[i].type), std::to_string(kWanted[i].size)};
        row.data = kWanted[i].type;
        row.selected = true;
        s.view.ListViewAdd(ListViewId::Calculator, row);
    }
    Verdict v;
    v.success = ReceiveAll(s.link, s.view, s.store, false);
    if (v.success)
        v.fault = CheckReceived(s, count);
    return v;
}

Verdict ReceiveOne(HostileScene& s)
{
    return Receive(s, 1);
}

Verdict ReceiveThree(HostileScene& s)
{
    return Receive(s, 3);
}

Verdict BackupReceive(HostileScene& s)
{
    Verdict v;
    v.success = ReceiveBackup(s.link, s.view, s.store, false);
    if (!v.success)
        return v;
    const std::vector<IndexRecord> records = s.store.ReadIndex();
    std::string image;
    for (const LinePacket& p :
         Packets(s.line->ReadAfterLast(BackupRequestPacket(kIdFromComputer)), kIdFromCalculator, true)) {
        if (p.command != Cmd::DATA)
            continue;
        if (!p.checksumOk || p.data.size() < 4) {
            v.fault = "a backup taken with a damaged block";
            return v;
        }
        image += p.data.substr(4);
    }
    if (records.size() != 1 || s.store.ReadItem(records[0]) != image)
        v.fault = "the stored backup differs from the blocks sent";
    return v;
}

Verdict RomVersion(HostileScene& s)
{
    Verdict v;
    const std::string version = GetRomVer(s.link, s.view);
    v.success = true;
    for (const LinePacket& p :
         Packets(s.line->ReadAfterLast(BackupRequestPacket(kIdFromComputer)), kIdFromCalculator, true)) {
        if (p.command != Cmd::VAR)
            continue;
        if (!p.checksumOk || p.data.size() < 6 || p.data.substr(6) != version)
            v.fault = "a version other than the header's sound name";
        return v;
    }
    v.fault = "a version without a header";
    return v;
}

Verdict Screenshot(HostileScene& s)
{
    ScreenBitmap bitmap;
    Verdict v;
    v.success = GrabScreenshot(s.link, s.view, bitmap);
    const std::string_view picture(reinterpret_cast<const char*>(bitmap.Bytes().data()), bitmap.Bytes().size());
    if (v.success && FindDataPacket(s.line->read, 0, picture, 0) == std::string_view::npos)
        v.fault = "a picture other than the sound screenshot packet";
    return v;
}

// What the computer sent in its DATA packets, each after its prefix.
std::vector<std::string> SentData(std::string_view written, size_t prefix)
{
    std::vector<std::string> sent;
    for (const LinePacket& p : Packets(written, kIdFromComputer, true))
        if (p.command == Cmd::DATA)
            sent.push_back(p.checksumOk && p.data.size() >= prefix ? p.data.substr(prefix) : "damaged");
    return sent;
}

// A variable is sent soundly when its ready check, header, clear to send,
// data and end were each answered.
std::string CheckVariablesSent(HostileScene& s, const std::vector<FileVariable>& variables)
{
    std::string expected;
    std::vector<std::string> data;
    for (const FileVariable& f : variables) {
        expected += "AACAA";
        data.push_back(SizedBytes(f.data));
    }
    if (!RepliesMatch(ReplyPattern(s.line->read), expected))
        return "a send reported without an acknowledgement at every step (" + ReplyPattern(s.line->read) + ")";
    if (SentData(s.line->written, 4) != data)
        return "the data sent differs from the file's";
    return {};
}

// A file sent as the window and the command line send it: a job of one file.
bool SendFile(HostileScene& s, const std::string& name)
{
    const FileListSendJob job{.link = s.link,
                              .view = s.view,
                              .dialogs = s.dialogs,
                              .store = s.store,
                              .tempTextFile = (s.folder / "~tmp.92t").string(),
                              .libraries = {}};
    return SendFileList(job, {(s.folder / name).string()}).Complete();
}

Verdict SendVariable(HostileScene& s)
{
    Verdict v;
    v.success = SendFile(s, "a.92t");
    if (v.success)
        v.fault = CheckVariablesSent(s, kOneVariable);
    return v;
}

Verdict SendGroup(HostileScene& s)
{
    Verdict v;
    v.success = SendFile(s, "group.92g");
    if (v.success)
        v.fault = CheckVariablesSent(s, kGroup);
    return v;
}

// The ready check's answer, then the backup's header, each block's header,
// clear to send and data answered; its end is not. The send goes on after
// a ready check left unanswered (junk until the reply's time limit).
Verdict BackupSend(HostileScene& s)
{
    Verdict v;
    v.success = SendFile(s, "backup.92b");
    if (!v.success)
        return v;
    std::string image;
    for (const std::string& block : SentData(s.line->written, 0))
        image += block;
    const std::string replies = ReplyPattern(s.line->read);
    if (!RepliesMatch(replies, "*AACAACA") && !RepliesMatch(replies, "AACAACA"))
        v.fault = "a backup send reported without an acknowledgement at every step (" + replies + ")";
    else if (image != PatternImage(kSentImageBytes))
        v.fault = "the image sent differs from the file's";
    return v;
}

Verdict RemoteKeys(HostileScene& s)
{
    const std::vector<uint16_t> codes = {'a', CalcKey::Enter, CalcKey::F1};
    RemoteKeyboard keys(s.link);
    for (uint16_t code : codes)
        keys.Enqueue(code);
    Verdict v;
    v.success = keys.SendQueuedKeys();
    if (!v.success)
        return v;
    size_t acknowledged = 0;
    for (const LinePacket& p : Packets(s.line->read, kIdFromCalculator, false))
        acknowledged += Acknowledges(p) ? 1 : 0;
    // More can have come: an answer later than the link waits for one is
    // dropped, and the key waits for the next.
    if (acknowledged < codes.size())
        v.fault = "keys reported sent with " + std::to_string(acknowledged) + " acknowledgements";
    return v;
}

// The calculator search's machine with one candidate on the scene's cable,
// free and openable, whose link runs on the scene's line.
class SceneDoctorSystem : public DoctorSystem {
public:
    explicit SceneDoctorSystem(HostileScene& scene) : fScene(scene) {}
    std::vector<SerialPortEntry> SerialPorts() override { return {}; }
    std::vector<UsbCableId> UsbCables() override { return {}; }
    std::vector<std::string> ParallelPorts() override { return {}; }
    Node Look(const std::string&) override { return Node::CharDevice; }
    std::string Group(const std::string&) override { return "dialout"; }
    std::string Holder(const std::string&) override { return {}; }
    Opening TryOpen(const std::string&, Cable) override { return {0, true}; }

    class SceneLink : public DoctorLink {
    public:
        SceneLink(HostileScene& scene, Clock& clock, EventPump& pump, Dialogs& dialogs)
            : fLink(LinkEnvironment{clock, pump, dialogs, scene.bitPort})
        {
            fLink.Cabletype = scene.link.Cabletype;
            fLink.serialPort = scene.port.get();
            fLink.BlackCable = scene.link.BlackCable;
            if (fLink.Cabletype == static_cast<uint8_t>(Cable::Parallel))
                fLink.ResetPort();
        }
        Ti92Link& Link() override { return fLink; }

    private:
        Ti92Link fLink;
    };
    std::unique_ptr<DoctorLink> OpenLink(const DoctorCandidate&, Clock& clock, EventPump& pump, Dialogs& dialogs,
                                         std::string&) override
    {
        return std::make_unique<SceneLink>(fScene, clock, pump, dialogs);
    }

private:
    HostileScene& fScene;
};

// Found only when the last reply read acknowledged the ready check; never
// cancelled, and never "no device" for a device that opened.
Verdict DoctorReady(HostileScene& s)
{
    SceneDoctorSystem system(s);
    CableDoctor doctor(system, s.clock, s.pump, s.dialogs);
    const auto cable = static_cast<Cable>(s.link.Cabletype);
    const DoctorCandidate candidate{cable == Cable::Parallel ? "/dev/parport0" : "/dev/ttyUSB0", "", cable,
                                    "a hostile calculator"};
    const DoctorReport report = doctor.Run({candidate});
    Verdict v;
    v.success = report.verdict == DoctorVerdict::Answered;
    const std::string replies = ReplyPattern(s.line->read);
    if (v.success && (replies.empty() || replies.back() == '?'))
        v.fault = "found without an acknowledgement";
    else if (!v.success && report.verdict != DoctorVerdict::NoAnswer)
        v.fault = "a usable device without an answer reported as: " + report.VerdictLine();
    else if (report.rows.size() != 1 || report.rows[0].Last().ok != v.success)
        v.fault = "the report's row disagrees with its verdict";
    return v;
}

// What a change typed on the home screen must leave in the confirming
// listing: entries it must hold and entries it must not. "[f]" is a folder,
// "f\v*" a locked variable, "f\v" a variable locked or not.
struct HomeChange {
    CalculatorChange change;
    std::vector<std::string> holds;
    std::vector<std::string> lacks;
};

bool Matches(const ListedEntry& e, const std::string& pattern)
{
    if (pattern.front() == '[')
        return e.folder && "[" + e.name + "]" == pattern;
    if (pattern.back() == '*')
        return !e.folder && e.locked && e.name + "*" == pattern;
    return !e.folder && e.name == pattern;
}

// The passes of the listing asked for after the computer's byte `from` and
// before its byte `to`: each one's entries and the count its header gives
// (0 when it gives none). A pass ends with the next ready check, so what
// the link drains from the line before that is not counted.
struct ListingPassRead {
    std::vector<ListedEntry> entries;
    uint32_t announced = 0;
};

std::vector<ListingPassRead> ListingPasses(const LineTap& line, size_t from, size_t to)
{
    static const std::string kRequest("\x09\xA2\x06\x00\x00\x00\x00\x00\x19\x00\x19\x00", 12);
    std::vector<ListingPassRead> passes;
    for (size_t at = line.written.find(kRequest, from); at < to;) {
        const size_t next = std::min(line.written.find(kRequest, at + 1), to);
        const size_t ready = line.written.find(ReadyPacket(), at + 1);
        const std::string_view read = line.ReadBetween(at + kRequest.size() - 1, std::min(next, ready));
        ListingPassRead pass;
        pass.entries = ListedEntries(read);
        for (const LinePacket& p : Packets(read, kIdFromCalculator, true)) {
            if (p.command != Cmd::VAR)
                continue;
            const uint32_t size = p.checksumOk && p.data.size() >= 4
                                      ? At(p.data, 0) | At(p.data, 1) << 8 | At(p.data, 2) << 16 |
                                            static_cast<uint32_t>(At(p.data, 3)) << 24
                                      : 0;
            pass.announced = size % 14 == 0 ? size / 14 : 0;
            break;
        }
        passes.push_back(std::move(pass));
        at = next;
    }
    return passes;
}

// Done only when every key was acknowledged and the listing after ENTER
// can be trusted (its header's count, or the pass before it, agrees) and
// shows the change; refused only before any key.
Verdict Change(HostileScene& s, const HomeChange& h)
{
    const ChangeResult result = ApplyChange(s.link, s.view, h.change);
    Verdict v;
    v.success = result.outcome == ChangeOutcome::Done;
    static const std::string kKey("\x09\x87", 2);
    const std::string& written = s.line->written;
    if (result.outcome == ChangeOutcome::Refused && written.find(kKey) != std::string::npos)
        v.fault = "refused after keys were sent";
    if (!v.success)
        return v;
    for (size_t at = written.find(kKey); at != std::string::npos; at = written.find(kKey, at + 4)) {
        const std::vector<LinePacket> answer = Packets(s.line->ReadBetween(at + 3, at + 4), kIdFromCalculator, false);
        if (answer.empty() || !Acknowledges(answer.front())) {
            v.fault = "done with a key not acknowledged";
            return v;
        }
    }
    const size_t enter = written.rfind(std::string("\x09\x87\x0D\x00", 4));
    const std::vector<ListingPassRead> passes = ListingPasses(*s.line, enter, written.find(kKey, enter + 4));
    if (passes.empty()) {
        v.fault = "done without a listing after the command";
        return v;
    }
    const ListingPassRead& last = passes.back();
    const bool counted = last.announced != 0 && last.announced == last.entries.size();
    if (!counted && (passes.size() < 2 || passes[passes.size() - 2].entries != last.entries)) {
        v.fault = "done on a listing that neither its count nor another pass confirms";
        return v;
    }
    auto holds = [&](const std::string& pattern) {
        return std::any_of(last.entries.begin(), last.entries.end(),
                           [&](const ListedEntry& e) { return Matches(e, pattern); });
    };
    for (const std::string& pattern : h.holds)
        if (!holds(pattern))
            v.fault = "done, but the listing lacks " + pattern;
    for (const std::string& pattern : h.lacks)
        if (holds(pattern))
            v.fault = "done, but the listing still holds " + pattern;
    return v;
}

// The first-byte selector: an input's first byte modulo the size of this
// table picks the row. New conversations go at the end, so the recorded
// seeds of the others keep their meaning. `throws`: the routine reports a
// failure by throwing a link error instead of returning false. `cable`: the
// grey cable's byte seam, or the two wires bit by bit of the parallel cable
// or of the black cable's modem lines.
struct Conversation {
    const char* name;
    Verdict (*run)(HostileScene&);
    bool throws;
    Cable cable = Cable::Grey;
};

const Conversation kConversations[] = {
    {"ready", ReadyCheck, true},
    {"listing", Listing, false},
    {"receive-one", ReceiveOne, false},
    {"receive-three", ReceiveThree, false},
    {"backup-receive", BackupReceive, false},
    {"rom-version", RomVersion, true},
    {"screenshot", Screenshot, false},
    {"send-variable", SendVariable, false},
    {"send-group", SendGroup, false},
    {"send-backup", BackupSend, false},
    {"keys", RemoteKeys, false},
    {"doctor-ready", DoctorReady, false},
    {"home-rm",
     [](HostileScene& s) {
         return Change(s, {{ChangeKind::Delete, "main\\prog", ""}, {}, {"main\\prog"}});
     },
     false},
    {"home-mv",
     [](HostileScene& s) {
         return Change(s, {{ChangeKind::Rename, "main\\text", "main\\note"}, {"main\\note"}, {"main\\text"}});
     },
     false},
    {"home-mv-into",
     [](HostileScene& s) {
         return Change(s, {{ChangeKind::Move, "games\\x", "main"}, {"main\\x"}, {"games\\x"}});
     },
     false},
    {"home-cp",
     [](HostileScene& s) {
         return Change(s, {{ChangeKind::Copy, "main\\prog", "games\\prog"}, {"main\\prog", "games\\prog"}, {}});
     },
     false},
    {"home-mkdir",
     [](HostileScene& s) {
         return Change(s, {{ChangeKind::NewFolder, "work", ""}, {"[work]"}, {}});
     },
     false},
    {"home-rmdir",
     [](HostileScene& s) {
         return Change(s, {{ChangeKind::DeleteFolder, "empty", ""}, {}, {"[empty]"}});
     },
     false},
    {"home-lock",
     [](HostileScene& s) {
         return Change(s, {{ChangeKind::Lock, "main\\text", ""}, {"main\\text*"}, {}});
     },
     false},
    {"home-unlock",
     [](HostileScene& s) {
         return Change(s, {{ChangeKind::Unlock, "main\\kept", ""}, {"main\\kept"}, {"main\\kept*"}});
     },
     false},
    // The same conversations over the parallel cable.
    {"parallel-ready", ReadyCheck, true, Cable::Parallel},
    {"parallel-listing", Listing, false, Cable::Parallel},
    {"parallel-receive-one", ReceiveOne, false, Cable::Parallel},
    {"parallel-rom-version", RomVersion, true, Cable::Parallel},
    {"parallel-send-variable", SendVariable, false, Cable::Parallel},
    {"parallel-doctor-ready", DoctorReady, false, Cable::Parallel},
    // And over the black cable's modem lines.
    {"black-ready", ReadyCheck, true, Cable::Black},
    {"black-listing", Listing, false, Cable::Black},
    {"black-receive-one", ReceiveOne, false, Cable::Black},
    {"black-send-variable", SendVariable, false, Cable::Black},
    {"black-doctor-ready", DoctorReady, false, Cable::Black},
};
constexpr size_t kConversationCount = sizeof kConversations / sizeof kConversations[0];

// Runs the row on the scene: its verdict, or the exception that escaped.
HostileOutcome Run(const Conversation& c, HostileScene& scene)
{
    HostileOutcome out;
    out.ran = true;
    try {
        const Verdict v = c.run(scene);
        out.success = v.success;
        out.fault = v.fault;
    } catch (const ELinkwiseError& e) {
        if (!c.throws)
            out.fault = std::string(e.ClassName()) + " escaped: " + e.what();
    } catch (const std::exception& e) {
        out.fault = std::string("unexpected exception: ") + e.what();
    }
    if (out.fault.empty() && scene.bitPort.untouched.touched)
        out.fault = "the parallel port was used on another cable";
    return out;
}

}  // namespace

size_t HostileConversationCount()
{
    return kConversationCount;
}

std::string HostileConversationName(size_t index)
{
    return kConversations[index % kConversationCount].name;
}

HostileOutcome RunHostileConversation(std::string_view input, const fs::path& folder)
{
    if (input.empty() || input.size() > kMaxCalculatorScript + 1)
        return {};
    PrepareFolder(folder);
    const std::string script(input.substr(1));
    const Conversation& c = kConversations[At(input, 0) % kConversationCount];
    if (c.cable != Cable::Grey) {
        if (script.size() > kMaxBitCableScript)
            return {};
        ScriptedCalculatorEnd calculator(script);
        HostileScene scene(folder, calculator, c.cable);
        return Run(c, scene);
    }
    HostileScene scene(folder,
                       [&](AutoClock& clock) { return std::make_unique<ScriptedCalculatorLine>(script, clock); });
    return Run(c, scene);
}

std::string RecordCleanConversation(size_t index, const fs::path& folder)
{
    PrepareFolder(folder);
    VirtualTI92 calc;
    FillCalculator(calc);
    CalculatorLink calculator(calc);
    const Conversation& c = kConversations[index % kConversationCount];
    HostileOutcome out;
    if (c.cable != Cable::Grey) {
        HostileScene scene(folder, calculator, c.cable);
        out = Run(c, scene);
    } else {
        HostileScene scene(folder, [&](AutoClock&) { return std::make_unique<SimSerialDevice>(calculator); });
        out = Run(c, scene);
    }
    if (!out.success || !out.fault.empty())
        throw std::runtime_error(std::string("the clean ") + c.name + " conversation failed: " + out.fault);
    return static_cast<char>(index % kConversationCount) + calculator.SentBytes();
}
