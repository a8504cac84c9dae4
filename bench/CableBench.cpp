// The cables' own code, unpaced and in-process against the virtual TI-92: a
// 32 KB receive over the parallel cable, the black serial cable (modem
// lines) and the USB cable (32-byte blocks), with the grey cable's
// in-memory line beside them. Prints bytes per second on the link, CPU
// used, and for the black cable the ioctls per byte and the rate they allow
// at a USB-serial adapter's 0.1 to 1 ms per ioctl, beside the ~300 bytes a
// second a peer program reaches on such adapters. Then the two bit cables
// against a calculator that does not answer, on the real clock: the CPU the
// ready check's whole time-out and the quiet-line wait take, beside 5 %.
#include <ctime>

#include "bench/PacedLineRig.h"
#include "files/TempStore.h"
#include "link/Exceptions.h"
#include "link/ModemLinePortIO.h"
#include "link/UsbCableDevice.h"
#include "sim/SimModemLines.h"
#include "sim/SimParallelCable.h"
#include "sim/SimSerialDevice.h"
#include "sim/SimUsbCable.h"
#include "tests/support/AutoClock.h"
#include "transfers/DirectoryListing.h"
#include "transfers/VariableReceive.h"

namespace {

using namespace bench;

const char* const kNames[] = {"", "parallel", "grey (in-memory line)", "black (modem lines)", "USB"};

constexpr int kDataBytes = 32 * 1024;
constexpr double kAdapterIoctlMs = 1.0;

double Now(clockid_t id)
{
    timespec t{};
    clock_gettime(id, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

struct InProcessCable {
    // On the real clock waits take their real time; else time-outs pass at once.
    explicit InProcessCable(int cable, bool realTime = false)
        : ti(LinkEnvironment{realTime ? static_cast<Clock&>(steady) : clock, pump, dialogs, parallel})
    {
        std::string data;
        for (int i = 0; i < kDataBytes; ++i)
            data += static_cast<char>((i * 7 + i / 251) & 0xFF);
        calc.AddVariable("main", "big", 0x0C, data);
        grey.OpenPort();
        ti.Cabletype = static_cast<uint8_t>(cable);
        ti.serialPort = &grey;
        ti.BlackCable = &black;
        ti.UsbCable = &usbPort;
        ti.OpenCable();
    }

    AutoClock clock;
    SteadyClock steady;
    NullEventPump pump;
    NoDialogs dialogs;
    VirtualTI92 calc;
    CalculatorLink link{calc};
    SimParallelCable parallel{link};
    SimModemLines lines{parallel};
    ModemLinePortIO black{lines};
    SerialPort grey{std::make_unique<SimSerialDevice>(link)};
    SimUsbCable* usb = new SimUsbCable(link);
    SerialPort usbPort{std::make_unique<UsbCableDevice>(std::unique_ptr<SimUsbCable>(usb))};
    Ti92Link ti;
};

void Receive32KBInProcess(benchmark::State& state)
{
    const int cable = static_cast<int>(state.range(0));
    ScratchFolder scratch;
    InProcessCable c(cable);
    BenchView view(c.ti);
    if (!FetchDirectoryList(c.ti, view, ListViewId::Calculator)) {
        state.SkipWithError("listing failed");
        return;
    }
    view.SelectAll();
    TempStore store(scratch.path);
    double wall = 0, cpu = 0;
    size_t bytes = 0;
    int ioctls = 0;
    for (auto _ : state) {
        const size_t before = c.link.SentBytes().size();
        const int calls = c.lines.calls;
        const double wall0 = Now(CLOCK_MONOTONIC), cpu0 = Now(CLOCK_PROCESS_CPUTIME_ID);
        if (!ReceiveAll(c.ti, view, store, false) || store.DataSize() != kDataBytes + 2) {
            state.SkipWithError("the variable did not arrive whole");
            return;
        }
        wall += Now(CLOCK_MONOTONIC) - wall0;
        cpu += Now(CLOCK_PROCESS_CPUTIME_ID) - cpu0;
        bytes += c.link.SentBytes().size() - before;
        ioctls += c.lines.calls - calls;
    }
    const double rate = double(bytes) / wall;
    state.counters["bytes_per_s"] = rate;
    state.counters["cpu_%"] = cpu / wall * 100;
    std::printf("32 KB receive over the %s cable: %.0f link bytes/s, %.1f ms per receive, CPU %.0f %% of one core "
                "(%.0f link bytes per CPU second)",
                kNames[cable], rate, wall * 1000 / double(state.iterations()), cpu / wall * 100, double(bytes) / cpu);
    if (cable == 3 && bytes > 0) {
        const double perByte = double(ioctls) / double(bytes);
        state.counters["ioctls_per_byte"] = perByte;
        std::printf("; %.1f ioctls per byte (target <= 36)", perByte);
        for (const double ms : {0.1, kAdapterIoctlMs})
            std::printf("; at %.1f ms per ioctl about %.0f bytes/s (peer program: about 300), %.0f s for 32 KB", ms,
                        1000 / (perByte * ms), kDataBytes * perByte * ms / 1000);
    }
    std::printf("\n");
}

void IdleCpuWhileCalculatorSilent(benchmark::State& state)
{
    const int cable = static_cast<int>(state.range(0));
    const bool quietLine = state.range(1) != 0;
    InProcessCable c(cable, true);
    c.link.faults.silent = true;
    double wall = 0, cpu = 0;
    for (auto _ : state) {
        const double wall0 = Now(CLOCK_MONOTONIC), cpu0 = Now(CLOCK_PROCESS_CPUTIME_ID);
        if (quietLine) {
            c.ti.MarkLineDirty();
            c.ti.PrepareLine();
        } else {
            try {
                c.ti.CheckReady();
                state.SkipWithError("a silent calculator answered the ready check");
                return;
            } catch (const ELinkError&) {
            }
        }
        wall += Now(CLOCK_MONOTONIC) - wall0;
        cpu += Now(CLOCK_PROCESS_CPUTIME_ID) - cpu0;
    }
    state.counters["idle_cpu_%"] = cpu / wall * 100;
    std::printf("%s over the %s cable, the calculator silent: %.0f ms, CPU %.1f %% of one core (target <= 5 %%)\n",
                quietLine ? "quiet-line wait" : "ready check (whole time-out)", kNames[cable],
                wall * 1000 / double(state.iterations()), cpu / wall * 100);
}

}  // namespace

BENCHMARK(Receive32KBInProcess)->Arg(1)->Arg(2)->Arg(3)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(IdleCpuWhileCalculatorSilent)
    ->ArgsProduct({{1, 3}, {0, 1}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
