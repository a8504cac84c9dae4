// Receiving a 32 KB variable from the virtual TI-92 paced at 9600 baud,
// through the real serial code: wall time against the line time of every
// byte on the wire plus the fixed pauses of the ready checks, and the CPU
// time the receiving side used.
#ifdef LINKWISE_SIM_PATH
#include "bench/PacedLineRig.h"
#include "files/SaveAs92g.h"
#include "files/TempStore.h"
#include "transfers/DirectoryListing.h"
#include "transfers/VariableReceive.h"

namespace {

using namespace bench;

constexpr int kDataBytes = 32 * 1024;

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
    PacedLine l;
    const std::string content = WriteContentFile(scratch.path, l.link);
    if (!l.Connect(state, {"--content", content}))
        return;
    BenchView view(l.link);
    if (!FetchDirectoryList(l.link, view, ListViewId::ListView1)) {
        state.SkipWithError("listing failed");
        return;
    }
    view.SelectAll();
    TempStore store(scratch.path);

    RunFigures figures;
    bool ok = true;
    for (auto _ : state)
        ok = figures.Measure(l, [&] { return ReceiveAll(l.link, view, store, false); }) && ok;
    if (!ok || store.ReadIndex().size() != 1 || store.DataSize() != kDataBytes + 2) {
        state.SkipWithError("the variable did not arrive whole");
        return;
    }
    figures.Report(state, "receive 32 KB at 9600 baud");
}

}  // namespace

BENCHMARK(Receive32KBAt9600Baud)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
#endif
