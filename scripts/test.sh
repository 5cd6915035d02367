#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets everything up and runs every check: the format check, the
# whole test suite in a normal build, clang-tidy, the suite again under
# AddressSanitizer and UndefinedBehaviorSanitizer, and the parameter file
# fuzzer for a bounded time (OMBRIX_FUZZ_SECONDS, default 60; 0 skips it).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh

echo "== format check"
git ls-files -- '*.cpp' '*.h' | xargs -r clang-format --dry-run -Werror

echo "== normal build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2
ctest --test-dir build --output-on-failure -j2

# The checks of .clang-tidy over the plain C++ and engine folders, with the
# normal build's compile_commands.json; the windows' folders are left out to
# keep this near a minute on two cores.
echo "== clang-tidy"
git ls-files -- 'src/model/*.cpp' 'src/editing/*.cpp' 'src/render/*.cpp' 'src/io/*.cpp' |
  xargs -r -P 2 -n 4 clang-tidy -p build --quiet

echo "== sanitizer build"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOMBRIX_SANITIZE=ON \
  -DOMBRIX_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan -j2
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j2

seconds=${OMBRIX_FUZZ_SECONDS:-60}
if [ "$seconds" -gt 0 ]; then
  echo "== fuzzing the parameter file reader for ${seconds}s"
  scripts/fuzz.sh "$seconds"
fi
echo "== all checks passed"
