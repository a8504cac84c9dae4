#pragma once
#include "link/Clock.h"

// A clock that moves on by itself: every reading advances it by `step` ms and
// a sleep advances it by its length, so time-outs pass at once in tests.
class AutoClock : public Clock {
public:
    explicit AutoClock(uint32_t step = 1, uint32_t start = 1000) : fNow(start), fStep(step) {}
    uint32_t GetTickCount() override
    {
        fNow += fStep;
        if (fStepMicros != 0)
            AddMicros(fStepMicros);
        return fNow;
    }
    void Sleep(uint32_t ms) override
    {
        fNow += ms;
        slept += ms;
    }
    void SleepMicros(uint32_t us) override
    {
        AddMicros(us);
        ++pauses;
        pausedMicros += us;
    }
    uint32_t Now() const { return fNow; }
    void Advance(uint32_t ms) { fNow += ms; }
    void SetStep(uint32_t step)
    {
        fStep = step;
        fStepMicros = 0;
    }
    // Readings closer together than a tick, as a loop polling real lines
    // reads the clock: a loop that spins then makes many polls per tick.
    void SetStepMicros(uint32_t us)
    {
        fStep = us / 1000;
        fStepMicros = us % 1000;
    }
    uint64_t slept = 0;  // ms asked of Sleep
    int pauses = 0;      // calls of SleepMicros
    uint64_t pausedMicros = 0;

private:
    void AddMicros(uint32_t us)
    {
        const uint32_t micros = fMicros + us;
        fNow += micros / 1000;
        fMicros = micros % 1000;
    }

    uint32_t fNow;
    uint32_t fStep;
    uint32_t fStepMicros = 0;
    uint32_t fMicros = 0;  // the part of a tick beyond fNow
};
