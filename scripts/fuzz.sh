#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the parameter file fuzzer with clang and runs it for a bounded time
# (first argument, in seconds, default 60), then runs every saved crash case
# of fuzz/regressions once.  Exits non-zero when anything crashes.
#
# The seed corpus is copied into a temporary folder, so the repository's
# corpus never grows.  A crash leaves its input in build-fuzz/artifacts/;
# copy it into fuzz/regressions/ once it is fixed, so that it stays fixed.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build-fuzz

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DOMBRIX_FUZZ=ON -DOMBRIX_BUILD_TESTS=OFF -DOMBRIX_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j2 --target param_file_fuzzer

fuzzer="$build/fuzz/param_file_fuzzer"
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp fuzz/corpus/* "$corpus"/
mkdir -p "$build/artifacts"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}

regressions=()
for f in fuzz/regressions/*; do
  [ -f "$f" ] && [ "${f##*.}" != "md" ] && regressions+=("$f")
done
if [ ${#regressions[@]} -gt 0 ]; then
  echo "== ${#regressions[@]} regression case(s)"
  "$fuzzer" "${regressions[@]}"
fi

echo "== fuzzing for ${seconds}s"
"$fuzzer" -max_total_time="$seconds" -max_len=8192 -artifact_prefix="$build/artifacts/" \
  -print_final_stats=1 "$corpus"
echo "== no crash"
