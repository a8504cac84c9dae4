#include "link/Clock.h"

#include <chrono>
#include <thread>

uint32_t SteadyClock::GetTickCount()
{
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void SteadyClock::Sleep(uint32_t ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void SteadyClock::SleepMicros(uint32_t us)
{
    std::this_thread::sleep_for(std::chrono::microseconds(us));
}
