#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets everything up and runs every check: the format check, the
# whole test suite in a normal build, clang-tidy, the suite again under
# AddressSanitizer and UndefinedBehaviorSanitizer, and the parameter file
# fuzzer for a bounded time (OMBRIX_FUZZ_SECONDS, default 60; 0 skips it).
#
# Each step prints one line; its whole output goes to build-logs/STEP.log,
# and a failing step shows the end of that log (for the tests, the failing
# tests' own output) before the script stops.
set -euo pipefail
cd "$(dirname "$0")/.."
logs=build-logs
rm -rf "$logs"
mkdir -p "$logs"

# step NAME COMMAND...: runs COMMAND with its output in $logs/NAME.log.
step() {
  local name=$1 log="$logs/$1.log" start=$SECONDS
  shift
  printf '== %-28s' "$name"
  if "$@" >"$log" 2>&1; then
    echo "ok ($((SECONDS - start)) s)"
  else
    echo "FAILED ($((SECONDS - start)) s); the whole output is in $log"
    tail -n 60 "$log"
    exit 1
  fi
}

# tests NAME BUILD [ENV...]: the suite of BUILD, its totals on one line; a
# failure lists the failing tests with their output.
passed=0
failed=0
tests() {
  local name=$1 build=$2 log="$logs/$1.log" start=$SECONDS
  shift 2
  printf '== %-28s' "$name"
  if env "$@" ctest --test-dir "$build" --output-on-failure -j2 >"$log" 2>&1; then
    echo "$(grep -E '^[0-9]+% tests passed' "$log" | tail -n 1) ($((SECONDS - start)) s)"
  else
    echo "FAILED ($((SECONDS - start)) s); the whole output is in $log"
    grep -E '^[0-9]+% tests passed|\(Failed\)|\(Timeout\)|\(Subprocess' "$log" || true
    echo "-- output of the failing tests:"
    awk '/\*\*\*Failed|\*\*\*Timeout|\*\*\*Exception/ {show = 60} show > 0 {print; show--}' "$log" |
      tail -n 200
    exit 1
  fi
  local total fails
  total=$(grep -Eo 'tests failed out of [0-9]+' "$log" | grep -Eo '[0-9]+$' || echo 0)
  fails=$(grep -Eo '[0-9]+ tests failed' "$log" | grep -Eo '^[0-9]+' || echo 0)
  passed=$((passed + total - fails))
  failed=$((failed + fails))
}

step bootstrap scripts/bootstrap.sh
step format-check sh -c "git ls-files -- '*.cpp' '*.h' | xargs -r clang-format --dry-run -Werror"
# The options are given, not taken from the cache, so that a build folder
# configured otherwise (without tests, say) is repaired.
step configure cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DOMBRIX_BUILD_TESTS=ON -DOMBRIX_BUILD_BENCH=ON -DOMBRIX_SANITIZE=OFF
step build cmake --build build -j2
tests tests build
# The checks of .clang-tidy over the plain C++ and engine folders, with the
# normal build's compile_commands.json; the windows' folders are left out to
# keep this near a minute on two cores.
step clang-tidy sh -c "git ls-files -- 'src/model/*.cpp' 'src/editing/*.cpp' 'src/render/*.cpp' \
  'src/io/*.cpp' | xargs -r -P 2 -n 4 clang-tidy -p build --quiet"
step sanitizer-configure cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DOMBRIX_SANITIZE=ON -DOMBRIX_BUILD_TESTS=ON -DOMBRIX_BUILD_BENCH=OFF
step sanitizer-build cmake --build build-asan -j2
# intercept_tls_get_addr=0: with Debian 12's glibc, the leak checker of
# g++ 12 reads a bogus dynamic TLS range of an image plugin Qt loads and
# crashes after the tests have passed ("Tracer caught signal 11"); leaks are
# still found without it.
tests sanitizer-tests build-asan ASAN_OPTIONS=detect_leaks=1:intercept_tls_get_addr=0 \
  UBSAN_OPTIONS=print_stacktrace=1

seconds=${OMBRIX_FUZZ_SECONDS:-60}
if [ "$seconds" -gt 0 ]; then
  step "fuzzing-${seconds}s" scripts/fuzz.sh "$seconds"
fi
echo "== all checks passed; logs in $logs/"
echo "$passed passed, $failed failed"
