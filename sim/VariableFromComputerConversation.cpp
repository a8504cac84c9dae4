#include "sim/VariableFromComputerConversation.h"

#include "sim/CalculatorLink.h"

SimConversation::Result VariableFromComputerConversation::Begin(const SimPacket& opening)
{
    // VAR data: size (4), type, name length, name.
    const std::string& d = opening.data;
    const size_t length = d.size() > 5 ? static_cast<uint8_t>(d[5]) : 0;
    if (d.size() < 6 + length || length == 0) {
        fLink.SendRefusal();
        return Result::Done;
    }
    if (fLink.faults.refuseVariables) {
        fLink.SendRefusal(SkipCode::OutOfMemory);
        return Result::Done;
    }
    fType = static_cast<uint8_t>(d[4]);
    fName = d.substr(6, length);
    // A name it cannot take, or no room left: the header is refused.
    const VirtualTI92& calc = fLink.Calc();
    if (!VirtualTI92::ValidName(fName) || !calc.Fits(fName, LongFromLE(d, 0))) {
        fLink.SendRefusal(VirtualTI92::ValidName(fName) ? SkipCode::OutOfMemory : SkipCode::Skipped);
        return Result::Done;
    }
    fLink.SendAck();
    if (fLink.faults.refuseVariableCts) {
        fLink.SendRefusal();
        return Result::Done;
    }
    fLink.SendShort(Cmd::CTS);
    return Result::Continue;
}

SimConversation::Result VariableFromComputerConversation::OnPacket(const SimPacket& p)
{
    switch (fState) {
    case State::AwaitData:
        if (p.cmd == Cmd::ACK)
            return Result::Continue;
        if (p.cmd != Cmd::DATA)
            return Result::NotMine;
        if (!p.checksumOk) {
            fLink.SendChecksumError();
            return Result::Continue;
        }
        // Zero prefix, then the variable as the calculator keeps it.
        if (p.data.size() < 6 || fLink.faults.refuseVariableData) {
            fLink.SendRefusal();
            return Result::Done;
        }
        fBytes = p.data.substr(4);
        fLink.SendAck();
        fState = State::AwaitEot;
        return Result::Continue;
    case State::AwaitEot: {
        if (p.cmd != Cmd::EOT)
            return Result::NotMine;
        if (fLink.faults.refuseVariableEnd) {
            fLink.SendRefusal();
            return Result::Done;
        }
        VirtualTI92& calc = fLink.Calc();
        std::string folder, name;
        calc.SplitName(fName, folder, name);
        SimVariable v;
        v.name = name.substr(0, 8);
        v.type = fType;
        v.bytes = fBytes;
        calc.PutVariable(folder, v);
        fLink.SendAck();
        return Result::Done;
    }
    }
    return Result::NotMine;
}
