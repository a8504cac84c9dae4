#pragma once
#include <algorithm>
#include <cstdint>
#include <string>

#include "link/SerialDevice.h"
#include "tests/support/AutoClock.h"

// A serial line whose far end is a script of everything the calculator
// sends, played in order. The calculator speaks only when spoken to: its
// bytes can be read once the computer has written something, and a purge of
// the input silences it until the next write (the unread script stays).
// When nothing can be read, a wait moves the clock on at once, so a script
// that falls silent ends in a time-out without real waiting.
class ScriptedCalculatorLine : public SerialDevice {
public:
    ScriptedCalculatorLine(std::string script, AutoClock& clock) : fScript(std::move(script)), fClock(clock) {}

    bool Open(const std::string&) override
    {
        fOpen = true;
        return true;
    }
    void Close() override { fOpen = false; }
    bool IsOpen() const override { return fOpen; }
    bool Apply(const SerialLineSettings&) override { return true; }
    void Write(const uint8_t*, size_t count) override
    {
        if (count > 0)
            fSpoken = true;
    }
    int BytesWaiting() override { return Readable() ? static_cast<int>(fScript.size() - fAt) : 0; }
    int ReadOne() override { return Readable() ? static_cast<uint8_t>(fScript[fAt++]) : -1; }
    void DiscardInput() override { fSpoken = false; }
    bool WaitForInput(int milliseconds) override
    {
        if (Readable())
            return true;
        fClock.Advance(static_cast<uint32_t>(std::max(milliseconds, kSilentStepMs)));
        return false;
    }

    // How much of the script has been read.
    size_t Played() const { return fAt; }

private:
    static constexpr int kSilentStepMs = 50;
    bool Readable() const { return fSpoken && fAt < fScript.size(); }

    std::string fScript;
    AutoClock& fClock;
    size_t fAt = 0;
    bool fSpoken = false;
    bool fOpen = false;
};
