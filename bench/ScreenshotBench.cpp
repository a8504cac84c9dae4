// A screenshot from the virtual TI-92 paced at 9600 baud, through the real
// serial code: wall time against the line time of every byte on the wire
// (the grab takes no pauses of its own), and the CPU time it used.
#include "bench/PacedLineRig.h"
#include "transfers/ScreenCanvas.h"
#include "transfers/ScreenshotTransfer.h"

namespace {

using namespace bench;

void ScreenshotAt9600Baud(benchmark::State& state)
{
    PacedLine l;
    if (!l.Connect(state))
        return;
    BenchView view(l.link);
    ScreenBitmap screen;
    RunFigures figures;
    bool ok = true;
    for (auto _ : state)
        ok = figures.Measure(l, [&] { return GrabScreenshot(l.link, view, screen); }) && ok;
    if (!ok) {
        state.SkipWithError("the screenshot did not arrive whole");
        return;
    }
    figures.Report(state, "screenshot at 9600 baud", 1.02);
}

}  // namespace

BENCHMARK(ScreenshotAt9600Baud)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
