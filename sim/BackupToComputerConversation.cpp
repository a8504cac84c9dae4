#include "sim/BackupToComputerConversation.h"

#include <algorithm>

#include "sim/CalculatorLink.h"

SimConversation::Result BackupToComputerConversation::Begin(const SimPacket&)
{
    if (fLink.faults.refuseBackup) {
        fLink.SendRefusal();
        return Result::Done;
    }
    fImage = fLink.Calc().MemoryImage();
    fLink.SendAck();
    SendHeaderOrEnd();
    return Result::Continue;
}

void BackupToComputerConversation::SendHeaderOrEnd()
{
    if (fPos >= fImage.size()) {
        fLink.SendShort(Cmd::EOT);
        fState = State::AwaitFinalAck;
        return;
    }
    const std::string& version = fLink.Calc().romVersion;
    // The header announces what the block's data packet will carry.
    const size_t block = fBlocks + 1 == fLink.faults.emptyBackupBlock ? 0 : std::min(kBlockSize, fImage.size() - fPos);
    fLink.SendData(Cmd::VAR, VarHeaderData(static_cast<uint32_t>(block), kTypeBackup, version));
    fState = State::AwaitHeaderAck;
}

SimConversation::Result BackupToComputerConversation::OnPacket(const SimPacket& p)
{
    switch (fState) {
    // Anything but the ACK and then the block request for 1024 bytes ends the
    // backup unanswered, so the computer's wait runs out.
    case State::AwaitHeaderAck:
        if (p.cmd != Cmd::ACK)
            return Result::NotMine;
        fState = State::AwaitBlockRequest;
        return Result::Continue;
    case State::AwaitBlockRequest: {
        if (p.cmd != Cmd::CTS || p.word != kBlockSize)
            return Result::NotMine;
        ++fBlocks;
        const size_t block = fBlocks == fLink.faults.emptyBackupBlock ? 0 : std::min(kBlockSize, fImage.size() - fPos);
        fLink.SendAck();
        const std::string extra = fBlocks == fLink.faults.longBackupBlock ? std::string(1, '\xA5') : std::string();
        fLink.SendData(Cmd::DATA, std::string(4, '\0') + fImage.substr(fPos, block) + extra,
                       fBlocks == fLink.faults.damageBackupBlock);
        fPos += block;
        fState = State::AwaitDataAck;
        return Result::Continue;
    }
    case State::AwaitDataAck:
        if (p.cmd != Cmd::ACK)
            return Result::NotMine;
        SendHeaderOrEnd();
        return Result::Continue;
    case State::AwaitFinalAck:
        return p.cmd == Cmd::ACK ? Result::Done : Result::NotMine;
    }
    return Result::NotMine;
}
