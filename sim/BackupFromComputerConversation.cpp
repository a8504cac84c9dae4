#include "sim/BackupFromComputerConversation.h"

#include "sim/CalculatorLink.h"

SimConversation::Result BackupFromComputerConversation::Begin(const SimPacket& opening)
{
    if (fLink.faults.refuseVariables) {
        fLink.SendRefusal(SkipCode::OutOfMemory);
        return Result::Done;
    }
    fAnnounced = LongFromLE(opening.data, 0);
    fLink.SendAck();
    return Result::Continue;
}

SimConversation::Result BackupFromComputerConversation::OnPacket(const SimPacket& p)
{
    switch (fState) {
    case State::AwaitBlockHeader:
        if (p.cmd == Cmd::VAR && p.data.size() >= 5 && static_cast<uint8_t>(p.data[4]) == kTypeBackup) {
            if (!p.checksumOk) {
                fLink.SendChecksumError();
                return Result::Continue;
            }
            if (++fBlocks == fLink.faults.refuseBackupBlock) {
                fLink.SendRefusal();
                return Result::Done;
            }
            fLink.SendAck();
            fLink.SendShort(Cmd::CTS);
            fState = State::AwaitBlock;
            return Result::Continue;
        }
        if (p.cmd == Cmd::EOT) {
            // Only a complete image replaces the memory.
            if (fImage.size() == fAnnounced)
                fLink.Calc().InstallMemoryImage(fImage);
            return Result::Done;
        }
        return Result::NotMine;
    case State::AwaitBlock:
        if (p.cmd == Cmd::ACK)
            return Result::Continue;
        if (p.cmd != Cmd::DATA)
            return Result::NotMine;
        if (!p.checksumOk) {
            fLink.SendChecksumError();
            return Result::Continue;
        }
        fImage += p.data;
        fLink.SendAck();
        fState = State::AwaitBlockHeader;
        return Result::Continue;
    }
    return Result::NotMine;
}
