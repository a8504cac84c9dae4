#include "sim/DirectoryConversation.h"

#include "sim/CalculatorLink.h"

namespace {

constexpr char kLocked = 0x01;

std::string Entry(const std::string& name, uint8_t type, uint32_t size, bool locked = false)
{
    std::string e(4, '\0');
    std::string padded = name.substr(0, 8);
    padded.resize(8, '\0');
    e += padded;
    e += static_cast<char>(type);
    e += locked ? kLocked : '\0';  // attribute
    e += LongLE(size);
    return e;
}

}  // namespace

std::vector<std::string> DirectoryConversation::Entries(const VirtualTI92& calc)
{
    std::vector<std::string> entries;
    for (const auto& folder : calc.folders) {
        entries.push_back(Entry(folder.name, kTypeFolder, static_cast<uint32_t>(folder.variables.size())));
        for (const auto& v : folder.variables)
            entries.push_back(Entry(v.name, v.type, v.Size(), v.locked));
    }
    // The calculator always has its main folder, so the list is never empty.
    if (entries.empty())
        entries.push_back(Entry("main", kTypeFolder, 0));
    return entries;
}

SimConversation::Result DirectoryConversation::Begin(const SimPacket&)
{
    fEntries = Entries(fLink.Calc());
    fLink.SendAck();
    // Header shaped like a variable header: size of the listing, the
    // directory type and the current folder as its name.
    const std::string folder = fLink.faults.listingNamesNoFolder ? std::string() : fLink.Calc().currentFolder;
    fLink.SendData(Cmd::VAR, VarHeaderData(static_cast<uint32_t>(fEntries.size() * 14), kTypeDirectoryRequest, folder));
    return Result::Continue;
}

SimConversation::Result DirectoryConversation::OnPacket(const SimPacket& p)
{
    switch (fState) {
    case State::AwaitCts:
        if (p.cmd == Cmd::ACK)
            return Result::Continue;  // the computer acknowledges before each CTS
        // Only the clear to send for the next entry (word FFFF) is answered;
        // anything else ends the listing unanswered.
        if (p.cmd != Cmd::CTS || p.word != kNextEntryWord || fNext >= fEntries.size())
            return Result::NotMine;
        fLink.SendAck();
        fLink.SendData(Cmd::DATA, fEntries[fNext++]);
        fState = State::AwaitEntryAck;
        return Result::Continue;
    case State::AwaitEntryAck:
        if (p.cmd != Cmd::ACK)
            return Result::NotMine;
        if (fNext < fEntries.size()) {
            fLink.SendShort(SimCmd::CNT);
            fState = State::AwaitCts;
        } else {
            fLink.SendShort(Cmd::EOT);
            fState = State::AwaitFinalAck;
        }
        return Result::Continue;
    case State::AwaitFinalAck:
        return p.cmd == Cmd::ACK ? Result::Done : Result::NotMine;
    }
    return Result::NotMine;
}
