#pragma once
#include <algorithm>
#include <cstdint>

#include "link/Clock.h"

// Paces a loop that polls the cable's lines for the calculator. A handshake
// answered within a millisecond is polled flat out, so transfers keep their
// speed; once a wait has seen nothing move for longer, each further poll
// follows a pause on the link's clock, growing to a millisecond, so a
// calculator that does not answer costs next to no CPU. One per wait.
class PollBackoff {
public:
    explicit PollBackoff(Clock& clock) : fClock(clock) {}

    // A poll found nothing new at `now` (the link's tick count). Inline: it
    // runs between the readings of every handshake.
    void Idle(uint32_t now)
    {
        if (!fWaiting) {
            fWaiting = true;
            fSince = now;
        } else if (now - fSince >= kBusyTicks) {
            Pause();
        }
    }
    // Something moved: poll flat out again.
    void Moved()
    {
        fWaiting = false;
        fPause = kFirstPauseMicros;
    }

    // Ticks of a wait polled without pauses: two, so at least a whole
    // millisecond has passed.
    static constexpr uint32_t kBusyTicks = 2;
    static constexpr uint32_t kFirstPauseMicros = 50;
    static constexpr uint32_t kLongestPauseMicros = 1000;

private:
    void Pause();

    Clock& fClock;
    bool fWaiting = false;
    uint32_t fSince = 0;
    uint32_t fPause = kFirstPauseMicros;
};
