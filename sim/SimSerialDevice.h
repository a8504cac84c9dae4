#pragma once
#include <string>

#include "link/SerialDevice.h"
#include "sim/CalculatorLink.h"

// An in-memory graph-link cable to the virtual TI-92: every byte written
// reaches the calculator at once, and its replies wait to be read.
// Deterministic and single-threaded; for tests of the link and transfers.
class SimSerialDevice : public SerialDevice {
public:
    explicit SimSerialDevice(CalculatorLink& calculator) : fCalc(calculator) {}

    bool Open(const std::string& path) override;
    void Close() override { fOpen = false; }
    bool IsOpen() const override { return fOpen; }
    bool Apply(const SerialLineSettings& settings) override;
    void Write(const uint8_t* data, size_t count) override;
    int BytesWaiting() override;
    int ReadOne() override;
    void DiscardInput() override;
    bool WaitForInput(int milliseconds) override;
    bool IsBroken() const override { return broken; }
    std::string OpenError() const override { return fOpen ? std::string() : openedPath + ": no such device"; }

    bool openable = true;  // false: Open fails as for a missing device
    bool broken = false;   // the cable was pulled: nothing gets through
    std::string openedPath;
    SerialLineSettings settings;
    std::string written;  // every byte the computer wrote
    int discards = 0;     // input purges that threw replies away

private:
    CalculatorLink& fCalc;
    bool fOpen = false;
};
