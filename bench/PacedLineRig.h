#pragma once
// What the benchmarks over a paced line share: the link object on the real
// termios code, talking to the virtual TI-92's executable at 9600 baud, with
// the bytes on the wire and the pauses the conversation takes counted, and
// the wall and CPU time of a run measured against them.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "link/Clock.h"
#include "link/Dialogs.h"
#include "link/EventPump.h"
#include "link/PosixSerialDevice.h"
#include "link/SerialPort.h"
#include "link/Ti92Link.h"
#include "link/TransferView.h"
#include "tests/support/ProgramProcess.h"

namespace bench {

constexpr double kBaud = 9600;

// The devices the virtual TI-92 can play between the computer and the line
// (its --reader), as a benchmark's argument 0, 1, 2.
inline const char* ReaderName(int64_t reader)
{
    static const char* const names[] = {"uart", "pty", "burst"};
    return names[reader >= 0 && reader < 3 ? reader : 0];
}
inline std::string DeviceWords(int64_t reader)
{
    static const char* const words[] = {"UART with a 16-byte FIFO", "pseudo-terminal read byte by byte",
                                        "device taking 4 KB bursts"};
    return std::string(" (") + words[reader >= 0 && reader < 3 ? reader : 0] + ")";
}

inline double Seconds(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// The termios line, counting the bytes that cross it. The pseudo-terminal
// takes what it is given as a device's buffer would; the virtual TI-92 reads
// it out at the line's pace in the way of the device it plays.
class CountingDevice : public PosixSerialDevice {
public:
    void Write(const uint8_t* data, size_t count) override
    {
        sent += count;
        PosixSerialDevice::Write(data, count);
    }
    size_t WriteSome(const uint8_t* data, size_t count) override
    {
        const size_t taken = PosixSerialDevice::WriteSome(data, count);
        sent += taken;
        return taken;
    }
    int ReadOne() override
    {
        const int b = PosixSerialDevice::ReadOne();
        if (b >= 0)
            ++received;
        return b;
    }
    uint64_t sent = 0;
    uint64_t received = 0;
};

// The real clock, adding up the pauses the conversation takes on purpose.
class PauseCountingClock : public SteadyClock {
public:
    void Sleep(uint32_t ms) override
    {
        slept += ms;
        SteadyClock::Sleep(ms);
    }
    uint64_t slept = 0;
};

class NoDialogs : public Dialogs {
public:
    MsgResult MessageBox(const std::string& text, const std::string&, MsgIcon, MsgButtons) override
    {
        std::fprintf(stderr, "%s\n", text.c_str());
        return MsgResult::Ok;
    }
    std::optional<std::string> SaveFileName(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> OpenFileName(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> PickDirectory(const std::string&, const std::string&) override { return std::nullopt; }
    std::string PromptComment(const std::string& proposed) override { return proposed; }
};

class NoPort : public PortIO {
public:
    void PortOut(uint16_t, uint8_t) override {}
    uint8_t PortIn(uint16_t) override { return 0x30; }
};

// Keeps what the routines show; error dialogs go to stderr.
class BenchView : public TransferView {
public:
    explicit BenchView(Ti92Link& link) : fLink(link) {}
    void ShowStatus(const std::string&) override {}
    void TransferMode(bool on) override
    {
        if (on)
            fLink.Aborted = 0;
    }
    void ClickNextButton() override {}
    void ProcessMessages() override {}
    void SetLabel(LabelId, const std::string&) override {}
    std::string Label(LabelId) const override { return {}; }
    void SetBarMax(ProgressBarId bar, int max) override { fMax[bar] = max; }
    void SetBarPosition(ProgressBarId bar, int position) override { fPos[bar] = position; }
    int BarMax(ProgressBarId bar) const override { return fMax.count(bar) ? fMax.at(bar) : 0; }
    int BarPosition(ProgressBarId bar) const override { return fPos.count(bar) ? fPos.at(bar) : 0; }
    void VarListClear() override {}
    void VarListAdd(const std::string&) override {}
    int VarListCount() const override { return 0; }
    void VarListSelect(int) override {}
    int VarListSelected() const override { return -1; }
    void ListViewClear(ListViewId list) override { fLists[list].clear(); }
    void ListViewAdd(ListViewId list, const ListItem& item) override { fLists[list].push_back(item); }
    std::vector<ListItem> ListViewItems(ListViewId list) const override
    {
        return fLists.count(list) ? fLists.at(list) : std::vector<ListItem>();
    }
    void StatusMemoAdd(const std::string& line) override { memo.push_back(line); }
    void ErrorDialog(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }

    void SelectAll()
    {
        for (auto& row : fLists[ListViewId::Calculator])
            row.selected = true;
    }
    std::vector<std::string> memo;

private:
    Ti92Link& fLink;
    std::map<ProgressBarId, int> fMax, fPos;
    std::map<ListViewId, std::vector<ListItem>> fLists;
};

struct ScratchFolder {
    ScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "linkwise-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            path = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::filesystem::path path;
};

// The link object with its surroundings; Connect starts the calculator.
struct PacedLine {
    PauseCountingClock clock;
    NullEventPump pump;
    NoDialogs dialogs;
    NoPort noPort;
    Ti92Link link{LinkEnvironment{clock, pump, dialogs, noPort}};
    std::unique_ptr<VirtualCalculatorProcess> calculator;
    std::unique_ptr<SerialPort> port;
    CountingDevice* line = nullptr;

    // The virtual TI-92 at 9600 baud with the extra options, on COM1 of the
    // link, behind the device `reader` names. False, with the benchmark
    // marked as skipped, when it cannot run.
    bool Connect(benchmark::State& state, const std::vector<std::string>& options = {}, int64_t reader = 0)
    {
        std::vector<std::string> args = {"--baud", "9600", "--reader", ReaderName(reader)};
        args.insert(args.end(), options.begin(), options.end());
        calculator = std::make_unique<VirtualCalculatorProcess>(LINKWISE_SIM_PATH, args, 1);
        if (calculator->device.empty()) {
            state.SkipWithError("the virtual TI-92 did not start");
            return false;
        }
        auto device = std::make_unique<CountingDevice>();
        line = device.get();
        port = std::make_unique<SerialPort>(std::move(device));
        setenv("LINKWISE_COM1", calculator->device.c_str(), 1);
        port->SetCommPort(cpCOM1);
        if (!port->OpenPort()) {
            state.SkipWithError("cannot open the pseudo-terminal");
            return false;
        }
        link.Cabletype = 2;
        link.serialPort = port.get();
        return true;
    }
    ~PacedLine()
    {
        if (port)
            port->ClosePort();
    }
};

// One run over the line: wall and CPU time against the line time of the
// bytes that crossed it plus the pauses taken on purpose: the ready check's
// and, on a line just opened, the silence the link waits for first (the
// calculator may still be sending the end of an earlier conversation).
struct RunFigures {
    double wall = 0, cpu = 0, line_s = 0, pauses = 0;
    uint64_t bytes = 0;

    template <typename Run>
    bool Measure(PacedLine& l, Run run)
    {
        l.line->sent = l.line->received = 0;
        l.clock.slept = 0;
        const bool quietFirst = l.link.LineDirty();
        const double wall0 = Seconds(CLOCK_MONOTONIC), cpu0 = Seconds(CLOCK_PROCESS_CPUTIME_ID);
        const bool ok = run();
        wall = Seconds(CLOCK_MONOTONIC) - wall0;
        cpu = Seconds(CLOCK_PROCESS_CPUTIME_ID) - cpu0;
        bytes = l.line->sent + l.line->received;
        line_s = double(bytes) * 10 / kBaud;
        pauses = double(l.clock.slept + (quietFirst ? Ti92Link::kQuietLineMs : 0)) / 1000;
        return ok;
    }

    // The counters, and one line of figures on standard output, with the
    // ratio of the wall time to the line and pauses beside its target.
    void Report(benchmark::State& state, const std::string& what, double target) const
    {
        const double expected = line_s + pauses;
        state.counters["ratio"] = wall / expected;
        state.counters["bytes_on_wire"] = double(bytes);
        state.counters["wall_s"] = wall;
        state.counters["line_s"] = line_s;
        state.counters["pauses_s"] = pauses;
        state.counters["over_%"] = (wall - expected) / expected * 100;
        state.counters["cpu_s"] = cpu;
        state.counters["cpu_%"] = cpu / wall * 100;
        std::printf("%s: %llu bytes on the wire, line time %.3f s + pauses %.3f s = %.3f s; "
                    "wall %.3f s, x%.3f (target <= x%.2f); CPU %.3f s, %.2f %% of one core (target <= 5 %%)\n",
                    what.c_str(), static_cast<unsigned long long>(bytes), line_s, pauses, expected, wall,
                    wall / expected, target, cpu, cpu / wall * 100);
        std::fflush(stdout);
    }
};

}  // namespace bench
