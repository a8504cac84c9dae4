#!/usr/bin/env bash
# Builds the libFuzzer target over the TI-92 file readers with clang and
# AddressSanitizer and runs it for a bounded time from the seed corpus.
# Usage: scripts/fuzz.sh [build-dir] [seconds]. Exits non-zero on a crash.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-fuzz}
seconds=${2:-60}
CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DLINKWISE_FUZZ=ON -DLINKWISE_BENCH=OFF >/dev/null
cmake --build "$build" --target fuzz_file_readers -j"$(nproc)"
# Work on a copy: the committed seeds stay as they are.
work="$build/fuzz-corpus"
mkdir -p "$work"
cp "$root"/fuzz/corpus/* "$work"/
cd "$build"
ASAN_OPTIONS=detect_leaks=1 "$build/fuzz/fuzz_file_readers" "$work" \
  -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
