#pragma once
#include <algorithm>
#include <cstdint>

#include "link/Clock.h"

// Paces a loop that polls the cable's lines for the calculator. A handshake
// answered within a few readings or a millisecond is polled flat out, so
// transfers keep their speed; once a wait has seen nothing move for longer,
// each further poll follows a pause on the link's clock, growing to a
// millisecond, so a calculator that does not answer costs next to no CPU.
// One per wait.
class PollBackoff {
public:
    explicit PollBackoff(Clock& clock) : fClock(clock) {}

    // A poll found nothing new at `now` (the link's tick count). Inline: it
    // runs between the readings of every handshake.
    void Idle(uint32_t now)
    {
        if (fPolls < kFreePolls) {
            if (fPolls++ == 0)
                fSince = now;
        } else if (now - fSince >= kBusyTicks) {
            Pause();
        }
    }
    // Something moved: poll flat out again.
    void Moved()
    {
        fPolls = 0;
        fPause = kFirstPauseMicros;
    }

    // A wait is polled without pauses for its first readings and two ticks
    // (so at least a whole millisecond): the handshake's usual waits of a
    // few readings never pause, wherever the clock's ticks fall.
    static constexpr int kFreePolls = 16;
    static constexpr uint32_t kBusyTicks = 2;
    static constexpr uint32_t kFirstPauseMicros = 50;
    static constexpr uint32_t kLongestPauseMicros = 1000;

private:
    void Pause();

    Clock& fClock;
    int fPolls = 0;
    uint32_t fSince = 0;
    uint32_t fPause = kFirstPauseMicros;
};
