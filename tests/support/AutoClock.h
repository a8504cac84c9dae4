#pragma once
#include "link/Clock.h"

// A clock that moves on by itself: every reading advances it by `step` ms and
// a sleep advances it by its length, so time-outs pass at once in tests.
class AutoClock : public Clock {
public:
    explicit AutoClock(uint32_t step = 1, uint32_t start = 1000)
        : fMicros(uint64_t{start} * 1000), fStep(uint64_t{step} * 1000)
    {
    }
    uint32_t GetTickCount() override
    {
        fMicros += fStep;
        return Now();
    }
    void Sleep(uint32_t ms) override
    {
        fMicros += uint64_t{ms} * 1000;
        slept += ms;
    }
    void SleepMicros(uint32_t us) override
    {
        fMicros += us;
        ++pauses;
        pausedMicros += us;
    }
    uint32_t Now() const { return static_cast<uint32_t>(fMicros / 1000); }
    void Advance(uint32_t ms) { fMicros += uint64_t{ms} * 1000; }
    void SetStep(uint32_t step) { fStep = uint64_t{step} * 1000; }
    // Readings closer together than a tick, as a loop polling real lines
    // reads the clock: a loop that spins then makes many polls per tick.
    void SetStepMicros(uint32_t us) { fStep = us; }
    uint64_t slept = 0;  // ms asked of Sleep
    int pauses = 0;      // calls of SleepMicros
    uint64_t pausedMicros = 0;

private:
    uint64_t fMicros;
    uint64_t fStep;
};
