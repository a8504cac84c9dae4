#pragma once
#include <string>

#include "link/UsbCablePipes.h"
#include "sim/CalculatorLink.h"

// The USB cable with the virtual TI-92 behind it, as its pipes behave: the
// calculator's bytes come in blocks of up to 32 and a read shorter than the
// block loses the rest; a stalled pipe answers nothing until it is reset; a
// pulled cable answers Gone until it is opened again after a replug, which
// gives it a new address as the bus does. Deterministic, synchronous.
class SimUsbCable : public UsbCablePipes {
public:
    explicit SimUsbCable(CalculatorLink& calculator) : fCalc(calculator) {}

    UsbStatus Open(UsbCableId wanted) override;
    void Close() override { fOpen = false; }
    bool IsOpen() const override { return fOpen; }
    UsbCableId Id() const override { return fOpenedId; }
    UsbStatus ResetPipes() override;
    UsbStatus Write(const uint8_t* data, size_t count, int timeoutMs) override;
    UsbStatus Read(uint8_t* block, size_t capacity, size_t& got, int timeoutMs) override;
    std::vector<UsbCableId> Present() override;

    void Unplug() { plugged = false; }
    void Replug();

    UsbCableId id{3, 7};
    bool plugged = true;
    bool permissionDenied = false;
    long unplugAfterBytes = -1;  // pulled once the calculator's bytes read reach this count
    bool stallIn = false;        // the IN pipe is halted until reset
    bool stallOut = false;
    int stallInAtRead = 0;  // this read (from 1) halts the IN pipe
    int resets = 0;
    int reads = 0;
    long bytesRead = 0;
    long lostBytes = 0;  // dropped by reads shorter than their block
    size_t largestWrite = 0;

private:
    CalculatorLink& fCalc;
    UsbCableId fOpenedId;
    bool fOpen = false;
};
