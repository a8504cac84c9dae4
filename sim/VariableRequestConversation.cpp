#include "sim/VariableRequestConversation.h"

#include "sim/CalculatorLink.h"

SimConversation::Result VariableRequestConversation::Begin(const SimPacket& opening)
{
    // REQ data: 4 zero bytes, type, name length, name.
    const std::string& d = opening.data;
    const size_t length = d.size() > 5 ? static_cast<uint8_t>(d[5]) : 0;
    const std::string name = d.size() >= 6 + length ? d.substr(6, length) : std::string();
    const SimVariable* v = fLink.Calc().FindVariable(name);
    if (!v || fLink.faults.Refuses(fRequestNumber)) {
        fLink.SendRefusal();
        return Result::Done;
    }
    fVariable = *v;
    fLink.SendAck();
    fLink.SendData(Cmd::VAR, VarHeaderData(fVariable.Size(), fVariable.type, name));
    return Result::Continue;
}

SimConversation::Result VariableRequestConversation::OnPacket(const SimPacket& p)
{
    switch (fState) {
    case State::AwaitCts:
        if (p.cmd == Cmd::ACK)
            return Result::Continue;
        if (p.cmd != Cmd::CTS)
            return Result::NotMine;
        fLink.SendAck();
        fLink.SendData(Cmd::DATA, std::string(4, '\0') + fVariable.bytes, fLink.faults.Damages(fRequestNumber));
        fState = State::AwaitDataAck;
        return Result::Continue;
    case State::AwaitDataAck:
        if (p.cmd != Cmd::ACK)
            return Result::NotMine;
        fLink.SendShort(Cmd::EOT);
        fState = State::AwaitFinalAck;
        return Result::Continue;
    case State::AwaitFinalAck:
        return p.cmd == Cmd::ACK ? Result::Done : Result::NotMine;
    }
    return Result::NotMine;
}
