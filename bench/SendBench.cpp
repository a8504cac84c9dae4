// Sending to the virtual TI-92 paced at 9600 baud, through the real serial
// code: a 32 KB variable, and the real 57 KB memory backup received and then
// sent back. Wall time against the line time of every byte on the wire plus
// the pauses the conversations take (the ready checks, the quiet line before
// the first one), and the CPU time.
#include <fstream>

#include "bench/PacedLineRig.h"
#include "files/FileFormat.h"
#include "files/SaveAs92g.h"
#include "files/TempStore.h"
#include "files/VariableFileWriter.h"
#include "transfers/BackupReceive.h"
#include "transfers/BackupSend.h"
#include "transfers/VariableSend.h"

namespace {

using namespace bench;

constexpr int kDataBytes = 32 * 1024;

std::string WriteVariableFile(const std::filesystem::path& folder)
{
    std::string sized{static_cast<char>(kDataBytes >> 8), static_cast<char>(kDataBytes & 0xFF)};
    for (int i = 0; i < kDataBytes; ++i)
        sized += static_cast<char>((i * 7 + i / 251) & 0xFF);
    const std::string path = (folder / "big.92s").string();
    std::ofstream out(path, std::ios::binary);
    VariableFileWriter writer(out);
    writer.WriteHeader("main", "32 KB", 1);
    writer.AddVariable("big", 0x0C, static_cast<uint32_t>(ti92::FirstDataOffset(1) + sized.size() + 6));
    writer.EndTable();
    writer.WriteDataPart(sized, false);
    writer.Finish();
    return path;
}

void Send32KBAt9600Baud(benchmark::State& state)
{
    ScratchFolder scratch;
    const std::string file = WriteVariableFile(scratch.path);
    PacedLine l;
    if (!l.Connect(state, {}, state.range(0)))
        return;
    BenchView view(l.link);
    RunFigures figures;
    bool ok = true;
    for (auto _ : state)
        ok = figures.Measure(l, [&] { return Send92g(l.link, view, file); }) && ok;
    if (!ok) {
        state.SkipWithError("the variable was not sent whole");
        return;
    }
    figures.Report(state, "send 32 KB at 9600 baud" + DeviceWords(state.range(0)), 1.02);
}

// The real backup: received from a calculator that holds it, saved, sent back.
void Backup57KBBothWaysAt9600Baud(benchmark::State& state)
{
    ScratchFolder scratch;
    PacedLine l;
    if (!l.Connect(state, {"--content", LINKWISE_REAL92_DIR "/backup.92b"}, state.range(0)))
        return;
    BenchView view(l.link);
    TempStore store(scratch.path);
    const std::string saved = (scratch.path / "saved.92b").string();
    RunFigures receive, send;
    bool ok = true;
    for (auto _ : state) {
        ok = receive.Measure(l, [&] { return ReceiveBackup(l.link, view, store, false); }) && ok;
        ok = ok && SaveAs92g(view, store, true, saved, true, false, "bench");
        ok = ok && send.Measure(l, [&] { return SendBackup(l.link, view, saved); });
    }
    std::ifstream original(LINKWISE_REAL92_DIR "/backup.92b", std::ios::binary), copy(saved, std::ios::binary);
    const std::string a((std::istreambuf_iterator<char>(original)), {}), b((std::istreambuf_iterator<char>(copy)), {});
    if (!ok || a.size() != b.size() || a.substr(60) != b.substr(60)) {
        state.SkipWithError("the backup did not make the round trip whole");
        return;
    }
    receive.Report(state, "receive the 57 KB backup at 9600 baud" + DeviceWords(state.range(0)), 1.02);
    send.Report(state, "send the 57 KB backup back at 9600 baud" + DeviceWords(state.range(0)), 1.02);
}

}  // namespace

// Argument: the device, 0 a UART, 1 a pseudo-terminal, 2 one taking 4 KB bursts.
BENCHMARK(Send32KBAt9600Baud)->DenseRange(0, 2)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(Backup57KBBothWaysAt9600Baud)->DenseRange(0, 2)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
