#include "sim/SimParallelCable.h"

void SimParallelCable::PortOut(uint16_t address, uint8_t value)
{
    if (address != fBase)
        return;
    dataWrites.push_back(value);
    GiveUpIfStalled();
    fPcA = (value & 1) == 0;
    fPcB = (value & 2) == 0;
    fIdleReads = 0;
    Settle();
}

bool SimParallelCable::MidByte() const
{
    // A reply waiting to be fetched counts too: its wait began with the
    // last bit received.
    return fRx != Rx::Idle || fRxBits != 0 || fTx != Tx::Idle || fTxByte >= 0 || fCalc.HasOutput();
}

void SimParallelCable::Progress()
{
    if (clock)
        fLastProgress = clock->GetTickCount();
}

void SimParallelCable::GiveUpIfStalled()
{
    if (!clock || !MidByte() || clock->GetTickCount() - fLastProgress <= giveUpMs)
        return;
    fCalcA = fCalcB = false;
    fRx = Rx::Idle;
    fRxBits = 0;
    fRxByte = 0;
    fTx = Tx::Idle;
    fTxByte = -1;
    fCalc.DiscardOutput();
    fCalc.ResetFraming();
}

uint8_t SimParallelCable::PortIn(uint16_t address)
{
    if (address != fBase + 1)
        return 0xFF;
    ++statusReads;
    GiveUpIfStalled();
    // The calculator starts its next bit only after the lines have been
    // quiet for a few readings.
    if (fTx == Tx::Idle && fRx == Rx::Idle && !fPcA && !fPcB && !fCalc.Silent() &&
        (fTxByte >= 0 || fCalc.HasOutput())) {
        const bool midByte = fTxByte >= 0 && fTxBits > 0;
        if (++fIdleReads > (midByte ? idleReadsBetweenBits : idleReadsBeforeSend)) {
            if (fTxByte < 0) {
                fTxByte = fCalc.TakeByte();
                fTxBits = 0;
            }
            if (fTxByte >= 0) {
                const bool one = (fTxByte >> fTxBits) & 1;
                fCalcA = one;
                fCalcB = !one;
                fTx = Tx::Presenting;
                Progress();
            }
            fIdleReads = 0;
        }
    }
    uint8_t status = 0;
    if (!LineALow())
        status |= 0x20;
    if (!LineBLow())
        status |= 0x10;
    if (statusFilter)
        status = statusFilter(status);
    return status;
}

void SimParallelCable::Settle()
{
    if (fCalc.Silent())
        return;
    switch (fTx) {
    case Tx::Presenting:
        // The computer acknowledges a 1 on line B and a 0 on line A.
        if ((fCalcA && fPcB) || (fCalcB && fPcA)) {
            fCalcA = fCalcB = false;
            fTx = Tx::AwaitRelease;
            Progress();
        }
        return;
    case Tx::AwaitRelease:
        if (!fPcA && !fPcB) {
            fTx = Tx::Idle;
            if (++fTxBits == 8)
                fTxByte = -1;
            Progress();
        }
        return;
    case Tx::Idle:
        break;
    }

    switch (fRx) {
    case Rx::Idle:
        if (fPcA == fPcB)
            return;  // both released, or both pulled: no bit
        // Line B low: a 0; line A low: a 1. Answer on the other line.
        fRxByte = static_cast<uint8_t>((fRxByte >> 1) | (fPcA ? 0x80 : 0));
        fCalcA = fPcB;
        fCalcB = fPcA;
        fRx = Rx::Acking;
        Progress();
        return;
    case Rx::Acking:
        if (fPcA || fPcB)
            return;
        fCalcA = fCalcB = false;
        fRx = Rx::Idle;
        Progress();
        if (++fRxBits == 8) {
            fRxBits = 0;
            fCalc.Receive(fRxByte);
        }
        return;
    }
}
