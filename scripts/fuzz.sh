#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer, UndefinedBehavior-
# Sanitizer and leak checking, and runs each for a bounded time from its seed
# corpus: fuzz_file_readers (fuzz/corpus) and fuzz_link_conversations
# (fuzz/corpus-link).
# Usage: scripts/fuzz.sh [DIR] [SECONDS] [TARGET]. Without TARGET every target
# runs in turn for SECONDS. Exits non-zero on the first finding.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-fuzz}
mkdir -p "$build"
build=$(cd "$build" && pwd)
seconds=${2:-60}
targets=${3:-"fuzz_file_readers fuzz_link_conversations"}
# The targets' scratch files go to a folder of their own, in memory where
# there is room for it, and are gone when the script ends.
scratch=$(mktemp -d /dev/shm/linkwise-fuzz.XXXXXX 2>/dev/null || mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for target in $targets; do
  case $target in
    fuzz_file_readers) corpus=corpus; extra=() ;;
    # One byte picks the conversation; the harness runs no longer script.
    fuzz_link_conversations) corpus=corpus-link; extra=(-max_len=16385) ;;
    *) echo "fuzz.sh: unknown target $target (fuzz_file_readers, fuzz_link_conversations)" >&2; exit 2 ;;
  esac
  CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DLINKWISE_FUZZ=ON -DLINKWISE_BENCH=OFF >/dev/null
  cmake --build "$build" --target "$target" -j"$(nproc)"
  # Work on a copy: the committed seeds stay as they are.
  work="$build/$target-corpus"
  mkdir -p "$work"
  cp "$root/fuzz/$corpus"/* "$work"/
  (cd "$build" &&
    TMPDIR=$scratch ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 "$build/fuzz/$target" "$work" \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=512 -print_final_stats=1 \
      "${extra[@]}")
done
