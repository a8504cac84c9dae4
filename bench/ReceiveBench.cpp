// Receiving a 32 KB variable from the virtual TI-92 paced at 9600 baud,
// through the real serial code: wall time against the line time of every
// byte on the wire plus the fixed pauses of the ready checks, and the CPU
// time the receiving side used.
#ifdef LINKWISE_SIM_PATH
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <memory>
#include <unistd.h>

#include "files/SaveAs92g.h"
#include "files/TempStore.h"
#include "link/Clock.h"
#include "link/EventPump.h"
#include "link/PacketCommands.h"
#include "link/PosixSerialDevice.h"
#include "link/SerialPort.h"
#include "link/TTI92.h"
#include "tests/support/ProgramProcess.h"
#include "transfers/DirectoryListing.h"
#include "link/TransferView.h"
#include "transfers/VariableReceive.h"

namespace {

constexpr int kDataBytes = 32 * 1024;
constexpr double kBaud = 9600;

double Seconds(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// The termios line, counting the bytes that cross it.
class CountingDevice : public PosixSerialDevice {
public:
    void Write(const uint8_t* data, size_t count) override
    {
        sent += count;
        PosixSerialDevice::Write(data, count);
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
    explicit BenchView(TTI92& link) : fLink(link) {}
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
        for (auto& row : fLists[ListViewId::ListView1])
            row.selected = true;
    }
    std::vector<std::string> memo;

private:
    TTI92& fLink;
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

// A single-variable file holding main\big, 32 KB of data, for the calculator to serve.
std::string WriteContentFile(const std::filesystem::path& folder, TTI92& link)
{
    std::string bytes;
    bytes += static_cast<char>(kDataBytes >> 8);
    bytes += static_cast<char>(kDataBytes & 0xFF);
    for (int i = 0; i < kDataBytes; ++i)
        bytes += static_cast<char>((i * 7 + i / 251) & 0xFF);
    const std::filesystem::path storeFolder = folder / "content-store";
    std::filesystem::create_directories(storeFolder);
    TempStore store(storeFolder);
    store.Clear();
    store.AddItem("main\\big", 0x0C, bytes);
    BenchView view(link);
    const std::string path = (folder / "big.92s").string();
    SaveAs92g(view, store, true, path, false, false, "32 KB");
    return path;
}

void Receive32KBAt9600Baud(benchmark::State& state)
{
    ScratchFolder scratch;
    PauseCountingClock clock;
    NullEventPump pump;
    NoDialogs dialogs;
    NoPort noPort;
    TTI92 link(LinkEnvironment{clock, pump, dialogs, noPort});
    const std::string content = WriteContentFile(scratch.path, link);

    VirtualCalculatorProcess calculator(LINKWISE_SIM_PATH, {"--baud", "9600", "--content", content}, 1);
    if (calculator.device.empty()) {
        state.SkipWithError("the virtual TI-92 did not start");
        return;
    }
    auto device = std::make_unique<CountingDevice>();
    CountingDevice* line = device.get();
    TSerialPort port(std::move(device));
    setenv("LINKWISE_COM1", calculator.device.c_str(), 1);
    port.SetCommPort(cpCOM1);
    if (!port.OpenPort()) {
        state.SkipWithError("cannot open the pseudo-terminal");
        return;
    }
    link.Cabletype = 2;
    link.SerialPort = &port;
    BenchView view(link);
    if (!FetchDirectoryList(link, view, ListViewId::ListView1)) {
        state.SkipWithError("listing failed");
        return;
    }
    view.SelectAll();
    TempStore store(scratch.path);

    double wall = 0, cpu = 0, line_s = 0, waits = 0;
    uint64_t bytes = 0;
    bool ok = true;
    for (auto _ : state) {
        line->sent = line->received = 0;
        clock.slept = 0;
        const double wall0 = Seconds(CLOCK_MONOTONIC), cpu0 = Seconds(CLOCK_PROCESS_CPUTIME_ID);
        ok = ReceiveAll(link, view, store, false) && ok;
        wall = Seconds(CLOCK_MONOTONIC) - wall0;
        cpu = Seconds(CLOCK_PROCESS_CPUTIME_ID) - cpu0;
        bytes = line->sent + line->received;
        line_s = double(bytes) * 10 / kBaud;
        waits = double(clock.slept) / 1000;
    }
    port.ClosePort();
    if (!ok || store.ReadIndex().size() != 1 || store.DataSize() != kDataBytes + 2) {
        state.SkipWithError("the variable did not arrive whole");
        return;
    }
    const double expected = line_s + waits;
    state.counters["bytes_on_wire"] = double(bytes);
    state.counters["wall_s"] = wall;
    state.counters["line_s"] = line_s;
    state.counters["pauses_s"] = waits;
    state.counters["over_%"] = (wall - expected) / expected * 100;
    state.counters["cpu_s"] = cpu;
    state.counters["cpu_%"] = cpu / wall * 100;
    std::printf("receive 32 KB at 9600 baud: %llu bytes on the wire, line time %.3f s + pauses %.3f s = %.3f s; "
                "wall %.3f s (%+.2f %%); CPU %.3f s (%.2f %% of one core)\n",
                static_cast<unsigned long long>(bytes), line_s, waits, expected, wall,
                (wall - expected) / expected * 100, cpu, cpu / wall * 100);
}

}  // namespace

BENCHMARK(Receive32KBAt9600Baud)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
#endif
