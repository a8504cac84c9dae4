// Receiving from the virtual TI-92 paced at 9600 baud, through the real
// serial code: one variable of 8 KB or 32 KB, and ten variables of 5 bytes
// (ten conversations back to back). Wall time against the line time of
// every byte on the wire plus the fixed pauses of the ready checks, and the
// CPU time the receiving side used.
#include "bench/PacedLineRig.h"
#include "files/SaveAs92g.h"
#include "files/TempStore.h"
#include "transfers/DirectoryListing.h"
#include "transfers/VariableReceive.h"

namespace {

using namespace bench;

// A group file of `count` string variables main\v0.. of `dataBytes` each,
// for the calculator to serve.
std::string WriteContentFile(const std::filesystem::path& folder, Ti92Link& link, int count, int dataBytes)
{
    std::string bytes;
    bytes += static_cast<char>(dataBytes >> 8);
    bytes += static_cast<char>(dataBytes & 0xFF);
    for (int i = 0; i < dataBytes; ++i)
        bytes += static_cast<char>((i * 7 + i / 251) & 0xFF);
    const std::filesystem::path storeFolder = folder / "content-store";
    std::filesystem::create_directories(storeFolder);
    TempStore store(storeFolder);
    store.Clear();
    for (int i = 0; i < count; ++i)
        store.AddItem("main\\v" + std::to_string(i), 0x0C, bytes);
    BenchView view(link);
    const std::string path = (folder / "content.92g").string();
    SaveAs92g(view, store, true, path, false, false, "bench");
    return path;
}

void ReceiveAt9600Baud(benchmark::State& state, int count, int dataBytes, double target, int64_t reader = 0)
{
    ScratchFolder scratch;
    PacedLine l;
    const std::string content = WriteContentFile(scratch.path, l.link, count, dataBytes);
    if (!l.Connect(state, {"--content", content}, reader))
        return;
    BenchView view(l.link);
    if (!FetchDirectoryList(l.link, view, ListViewId::Calculator)) {
        state.SkipWithError("listing failed");
        return;
    }
    view.SelectAll();
    TempStore store(scratch.path);

    RunFigures figures;
    bool ok = true;
    for (auto _ : state)
        ok = figures.Measure(l, [&] { return ReceiveAll(l.link, view, store, false); }) && ok;
    if (!ok || store.ReadIndex().size() != size_t(count) || store.DataSize() != uint64_t(count) * (dataBytes + 2)) {
        state.SkipWithError("the variables did not arrive whole");
        return;
    }
    const std::string what = count == 1 ? "receive " + std::to_string(dataBytes / 1024) + " KB at 9600 baud"
                                        : "receive " + std::to_string(count) + " variables of " +
                                              std::to_string(dataBytes) + " bytes at 9600 baud";
    figures.Report(state, what + DeviceWords(reader), target);
}

void Receive8KBAt9600Baud(benchmark::State& state)
{
    ReceiveAt9600Baud(state, 1, 8 * 1024, 1.02);
}
void Receive32KBAt9600Baud(benchmark::State& state)
{
    ReceiveAt9600Baud(state, 1, 32 * 1024, 1.02, state.range(0));
}
void ReceiveTenSmallAt9600Baud(benchmark::State& state)
{
    ReceiveAt9600Baud(state, 10, 5, 1.03);
}

}  // namespace

BENCHMARK(Receive8KBAt9600Baud)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
// Argument: the device, 0 a UART, 1 a pseudo-terminal, 2 one taking 4 KB bursts.
BENCHMARK(Receive32KBAt9600Baud)->DenseRange(0, 2)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(ReceiveTenSmallAt9600Baud)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
