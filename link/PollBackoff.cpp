#include "link/PollBackoff.h"

void PollBackoff::Pause()
{
    fClock.SleepMicros(fPause);
    fPause = std::min(fPause * 2, kLongestPauseMicros);
}
