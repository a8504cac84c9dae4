#pragma once
#include <cstdint>

// Millisecond tick count and a blocking sleep. Every time limit in the link
// and the transfers is measured on this, so tests can make time-outs instant.
class Clock {
public:
    virtual ~Clock() = default;
    virtual uint32_t GetTickCount() = 0;
    virtual void Sleep(uint32_t ms) = 0;
};

class SteadyClock : public Clock {
public:
    uint32_t GetTickCount() override;
    void Sleep(uint32_t ms) override;
};
