// What a wait for a serial byte costs: the link's receive loop polls the port
// until a byte arrives or its time limit passes. On a silent line the wait
// should sleep between polls rather than spin a core.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

#include "link/Clock.h"
#include "link/SerialPort.h"

namespace {

constexpr uint32_t kWaitMs = 2000;

double Seconds(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// A silent calculator: a pseudo-terminal whose far end nobody writes to.
struct SilentLine {
    SilentLine()
    {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0) {
            setenv("LINKWISE_COM1", ptsname(master), 1);
            port.SetCommPort(cpCOM1);
            port.OpenPort();
        }
    }
    ~SilentLine()
    {
        port.ClosePort();
        if (master >= 0)
            close(master);
    }
    int master = -1;
    SerialPort port;
};

// The receive loop's shape: poll, check the limit, wait a slice between polls.
template <bool kWaitBetweenPolls>
void WaitForSilentCalculator(benchmark::State& state)
{
    SilentLine line;
    if (!line.port.IsOpen()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    SteadyClock clock;
    double cpu = 0, wall = 0;
    int64_t polls = 0;
    for (auto _ : state) {
        const double cpu0 = Seconds(CLOCK_PROCESS_CPUTIME_ID), wall0 = Seconds(CLOCK_MONOTONIC);
        const uint32_t start = clock.GetTickCount();
        int r = -1;
        bool timedOut = false;
        do {
            r = line.port.ReadByte();
            ++polls;
            timedOut = clock.GetTickCount() - start > kWaitMs;
            if (kWaitBetweenPolls && r == -1 && !timedOut)
                line.port.WaitForInput(1);
        } while (r == -1 && !timedOut);
        benchmark::DoNotOptimize(r);
        cpu += Seconds(CLOCK_PROCESS_CPUTIME_ID) - cpu0;
        wall += Seconds(CLOCK_MONOTONIC) - wall0;
    }
    state.counters["cpu_percent"] = wall > 0 ? 100.0 * cpu / wall : 0;
    state.counters["polls"] = benchmark::Counter(double(polls), benchmark::Counter::kAvgIterations);
}

void BM_SerialWait_PollWithWait(benchmark::State& state)
{
    WaitForSilentCalculator<true>(state);
}
void BM_SerialWait_NaivePolling(benchmark::State& state)
{
    WaitForSilentCalculator<false>(state);
}

}  // namespace

BENCHMARK(BM_SerialWait_PollWithWait)->Iterations(2)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SerialWait_NaivePolling)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
