#pragma once
#include <cstdint>

// Millisecond tick count and a blocking sleep. Every time limit in the link
// and the transfers is measured on this, so tests can make time-outs instant.
class Clock {
public:
    virtual ~Clock() = default;
    virtual uint32_t GetTickCount() = 0;
    virtual void Sleep(uint32_t ms) = 0;
    // A pause shorter than a tick, for loops that poll the cable's lines;
    // at least as long as asked.
    virtual void SleepMicros(uint32_t us) { Sleep((us + 999) / 1000); }
};

class SteadyClock : public Clock {
public:
    uint32_t GetTickCount() override;
    void Sleep(uint32_t ms) override;
    void SleepMicros(uint32_t us) override;
};
