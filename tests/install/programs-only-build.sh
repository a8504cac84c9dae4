#!/usr/bin/env bash
# Configures the source tree with -DBUILD_TESTING=OFF and checks that the
# build would make the programs and no test or benchmark target.
# Usage: programs-only-build.sh SOURCE-DIR
set -euo pipefail
work=$(mktemp -d "${TMPDIR:-/tmp}/linkwise-programs.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "programs-only build: $*" >&2; exit 1; }
cmake -S "$1" -B "$work" -G Ninja -DBUILD_TESTING=OFF >"$work/configure.log" 2>&1 ||
  { cat "$work/configure.log" >&2; fail "configuring failed"; }
targets=$(ninja -C "$work" -t targets all | sed "s|^$work/||" | cut -d: -f1)
for program in linkwise linkwise-cli linkwise-virtual-ti92; do
  grep -qx "$program" <<<"$targets" || fail "$program would not be built"
done
strays=$(grep -E '^(tests|bench|fuzz)/|(^|/)(test_|linkwise_bench|linkwise_testsupport)' <<<"$targets" || true)
[ -z "$strays" ] || fail "test targets are built: $(head -3 <<<"$strays")"
echo "programs-only build passed"
