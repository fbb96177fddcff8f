#!/usr/bin/env bash
# Runs every libFuzzer binary of a fuzz build for a while each. New inputs go
# to a working corpus in the build folder; the committed seeds are only read.
#   run-fuzzers.sh <fuzz-build-folder> <seconds>
set -euo pipefail
build=$1
seconds=$2
for binary in "$build"/fuzz/*/fuzz_*; do
  [[ -f $binary && -x $binary ]] || continue
  name=$(basename "$binary")
  area=$(basename "$(dirname "$binary")")
  work="$build/corpus/$name"
  mkdir -p "$work"
  echo "== $area/$name for ${seconds}s"
  "$binary" -max_total_time="$seconds" "$work" "fuzz/$area/corpus/$name"
done
