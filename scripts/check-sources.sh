#!/usr/bin/env bash
# Checks that every tracked .cpp file is named in the CMakeLists.txt of its
# folder or of a folder above it: sources are listed by name, so a file that
# is added but not listed would silently stay out of the build (a test file
# would never run). Prints each unlisted file; exits 1 if there is one, 77
# (skipped) outside a git checkout.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
if ! git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  echo "$root is not a git checkout: the source lists were not checked" >&2
  exit 77
fi
missing=0
while IFS= read -r file; do
  dir=$(dirname "$file")
  name=$(basename "$file")
  listed=no
  while :; do
    if [ -f "$dir/CMakeLists.txt" ] && grep -qE "(^|[[:space:](/])${name//./\\.}([[:space:])]|\$)" "$dir/CMakeLists.txt"; then
      listed=yes
      break
    fi
    [ "$dir" = . ] && break
    name="$(basename "$dir")/$name"
    dir=$(dirname "$dir")
  done
  if [ "$listed" = no ]; then
    echo "$file is not listed in any CMakeLists.txt" >&2
    missing=1
  fi
done < <(git ls-files '*.cpp')
exit "$missing"
