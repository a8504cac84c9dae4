// Listing a folder of 10,000 TI-92 files of mixed kinds, as the file browser
// does and as `linkwise-cli info DIR` does: wall time per listing and the
// time per file.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "bench/PacedLineRig.h"
#include "files/FileBrowser.h"
#include "files/FileFormat.h"
#include "files/VariableFileWriter.h"
#include "tests/support/ProgramProcess.h"
#include "tests/support/TI92FileBuilder.h"

namespace {

constexpr int kFiles = 10000;

// The size word before a variable's data, most significant byte first.
std::string SizeWord(size_t n)
{
    return {static_cast<char>(n >> 8), static_cast<char>(n & 0xFF)};
}

struct Variable {
    std::string name;
    uint8_t type;
    std::string data;  // without the size word
    bool folder = false;
};

// One file through the program's own writer; a backup's data part is its image.
void WriteFile(const std::filesystem::path& path, const std::string& comment, const std::vector<Variable>& entries,
               bool backup = false)
{
    std::ofstream out(path, std::ios::binary);
    VariableFileWriter writer(out);
    writer.WriteHeader("main", comment, entries.size());
    uint32_t offset = ti92::FirstDataOffset(entries.size());
    std::vector<std::string> parts;
    for (const Variable& v : entries) {
        if (v.folder) {
            writer.AddFolder(v.name, offset);
            continue;
        }
        const std::string part = backup ? v.data : SizeWord(v.data.size()) + v.data;
        offset += static_cast<uint32_t>(part.size() + (backup ? 2 : 6));
        writer.AddVariable(v.name, v.type, offset);
        parts.push_back(part);
    }
    writer.EndTable();
    for (const std::string& part : parts)
        writer.WriteDataPart(part, backup);
    writer.Finish();
}

// The folder, written once for every benchmark of this file.
const std::filesystem::path& MixedFolder()
{
    static bench::ScratchFolder scratch;
    static bool written = false;
    if (!written) {
        written = true;
        const std::string text = TextVariableData({"first line", "second line", "third"});
        const std::string fargo = Fargo1ProgramData({"util", "flib"}, "A game");
        const std::string program(300, '\x2A');
        const std::string image(2000, '\x5A');
        for (int i = 0; i < kFiles; ++i) {
            const std::string n = "v" + std::to_string(i);
            const std::filesystem::path base = scratch.path / n;
            switch (i % 6) {
            case 0:
                WriteFile(base.string() + ".92t", "a note", {{n, 0x0B, text}});
                break;
            case 1:
                WriteFile(base.string() + ".92s", "", {{n, 0x0C, std::string("hello", 5) + '\0' + '\x2D'}});
                break;
            case 2:
                WriteFile(base.string() + ".92p", "", {{n, 0x12, fargo}});
                break;
            case 3:
                WriteFile(base.string() + ".92p", "plain", {{n, 0x12, program}});
                break;
            case 4:
                WriteFile(base.string() + ".92g", "group",
                          {{"games", 0, {}, true}, {"a", 0x0B, text}, {"b", 0x0C, "xy"}});
                break;
            default:
                WriteFile(base.string() + ".92b", "backup", {{"main", ti92::kBackupType, image}}, true);
                break;
            }
        }
    }
    return scratch.path;
}

void ReportListing(benchmark::State& state, size_t rows)
{
    state.counters["files"] = kFiles;
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["files_per_s"] = benchmark::Counter(kFiles, benchmark::Counter::kIsIterationInvariantRate);
}

void ListFiles10000MixedFiles(benchmark::State& state)
{
    const std::string folder = MixedFolder().string();
    const BrowserFilter filter{".92T;.92S;.92P;.92G;.92B;.TXT", {}};
    size_t rows = 0;
    for (auto _ : state) {
        rows = ListFiles(folder, filter, 0).size();
        benchmark::DoNotOptimize(rows);
    }
    if (rows != kFiles)
        state.SkipWithError("not every file was listed");
    ReportListing(state, rows);
}

void CliInfo10000MixedFiles(benchmark::State& state)
{
    const std::string folder = MixedFolder().string();
    size_t rows = 0;
    for (auto _ : state) {
        const ProgramOutcome run = RunProgram({LINKWISE_CLI_PATH, "info", folder});
        if (run.status != 0) {
            state.SkipWithError(("linkwise-cli info failed: " + run.err).c_str());
            return;
        }
        // Every file is a line, under the line of column titles.
        rows = static_cast<size_t>(std::count(run.out.begin(), run.out.end(), '\n')) - 1;
    }
    ReportListing(state, rows);
}
BENCHMARK(CliInfo10000MixedFiles)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK(ListFiles10000MixedFiles)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
