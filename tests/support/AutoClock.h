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
        return fNow;
    }
    void Sleep(uint32_t ms) override
    {
        fNow += ms;
        slept += ms;
    }
    uint32_t Now() const { return fNow; }
    void Advance(uint32_t ms) { fNow += ms; }
    void SetStep(uint32_t step) { fStep = step; }
    uint64_t slept = 0;

private:
    uint32_t fNow;
    uint32_t fStep;
};
