#!/usr/bin/env bash
# Times the whole process of writing the start-up image at 3840 x 2160 as a
# BMP file, side by side with ImageMagick drawing a radial gradient of the
# same size to the same format, and reports the peak memory of each.
#
# Usage: bench/process_bench.sh [OMBRIX_BINARY] [RUNS]
#   OMBRIX_BINARY  the command line program (default: build-bench/ombrix
#                  beside this folder)
#   RUNS           timed runs of each command (default 7); one untimed run
#                  of each goes first so that both start with warm caches
#
# The two commands take turns (ombrix, ImageMagick, ombrix, ...), so that a
# spell of load on a shared machine falls on both rather than on one of
# them; the medians are reported.
#
# The figures are measured and printed, never judged: the exit status is 0
# whenever both commands ran and wrote their file, whatever the times.
# Targets they are read against: at most a third of ImageMagick's time, and a
# peak memory under 200 MB.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
ombrix="${1:-$here/../build-bench/ombrix}"
runs="${2:-7}"
width=3840
height=2160
size="${width}x${height}"

if ! [[ "$runs" =~ ^[1-9][0-9]*$ ]]; then
    echo "RUNS must be a whole number of at least 1, not '$runs'" >&2
    exit 2
fi
if [[ ! -x "$ombrix" ]]; then
    echo "No executable at '$ombrix'; build it with: ninja -C build-bench ombrix" >&2
    exit 2
fi
if command -v convert > /dev/null 2>&1; then
    magick=(convert)
elif command -v magick > /dev/null 2>&1; then
    magick=(magick)
else
    echo "ImageMagick ('convert' or 'magick') is not installed" >&2
    exit 2
fi

# GNU time gives the maximum resident set of a finished process; bash's own
# time keyword gives none, and /proc no longer holds the figure once the
# process has exited.
gnu_time=/usr/bin/time
if [[ ! -x "$gnu_time" ]]; then
    gnu_time=""
    echo "note: /usr/bin/time (Debian package 'time') is missing; times only, no peak memory" >&2
fi

work="$(mktemp -d)"
trap 'rm -rf -- "$work"' EXIT

ombrix_cmd=("$ombrix" render --preset 3 --size "$size" --out "$work/ombrix.bmp")
magick_cmd=("${magick[@]}" -size "$size" "radial-gradient:#b0e0ff-#000050" "$work/magick.bmp")

now_ns() { date +%s%N; }

# Runs the command once.  Prints "<wall seconds> <peak KiB or ->", or fails
# with the command's own messages when it fails or writes no file.
run_once() {
    local out="$1"
    shift
    rm -f -- "$out"
    local start end status=0 peak="-"
    start="$(now_ns)"
    if [[ -n "$gnu_time" ]]; then
        "$gnu_time" -v -o "$work/time.txt" "$@" > "$work/stdout.txt" 2> "$work/stderr.txt" ||
            status=$?
    else
        "$@" > "$work/stdout.txt" 2> "$work/stderr.txt" || status=$?
    fi
    end="$(now_ns)"
    if ((status != 0)) || [[ ! -s "$out" ]]; then
        echo "'$*' failed (status $status):" >&2
        cat "$work/stderr.txt" >&2
        return 1
    fi
    if [[ -n "$gnu_time" ]]; then
        peak="$(awk -F': *' '/Maximum resident set size/ {print $2}' "$work/time.txt")"
    fi
    awk -v s="$start" -v e="$end" -v p="$peak" 'BEGIN {printf "%.4f %s\n", (e - s) / 1e9, p}'
}

# Median of the numbers on standard input.
median() {
    sort -g | awk '{v[NR] = $1} END {
        if (NR == 0) { print "-"; exit }
        if (NR % 2) print v[(NR + 1) / 2]; else printf "%.4f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# Largest of the numbers on standard input, or "-" when there are none.
largest() {
    awk '$1 != "-" {if (!n++ || $1 > m) m = $1} END {if (n) print m; else print "-"}'
}

# One untimed run of each, then RUNS timed runs of each, taking turns.
measure() {
    run_once "$work/ombrix.bmp" "${ombrix_cmd[@]}" > /dev/null
    run_once "$work/magick.bmp" "${magick_cmd[@]}" > /dev/null
    : > "$work/ombrix.runs"
    : > "$work/magick.runs"
    local i
    for ((i = 1; i <= runs; ++i)); do
        run_once "$work/ombrix.bmp" "${ombrix_cmd[@]}" >> "$work/ombrix.runs"
        run_once "$work/magick.bmp" "${magick_cmd[@]}" >> "$work/magick.runs"
    done
}

echo "ombrix:      ${ombrix_cmd[*]}"
echo "ImageMagick: ${magick_cmd[*]}"
echo "runs:        $runs each, taking turns, after one warm-up run of each"
echo

measure

o_time="$(cut -d' ' -f1 "$work/ombrix.runs" | median)"
m_time="$(cut -d' ' -f1 "$work/magick.runs" | median)"
o_peak="$(cut -d' ' -f2 "$work/ombrix.runs" | largest)"
m_peak="$(cut -d' ' -f2 "$work/magick.runs" | largest)"

# Kibibytes as reported by GNU time, in megabytes of 10^6 bytes.
mb() { awk -v k="$1" 'BEGIN {if (k == "-") print "-"; else printf "%.1f", k * 1024 / 1e6}'; }

printf '%-12s %16s %16s   %s\n' "" "median time (s)" "peak RSS (MB)" "all times (s)"
printf '%-12s %16s %16s   %s\n' ombrix "$o_time" "$(mb "$o_peak")" \
    "$(cut -d' ' -f1 "$work/ombrix.runs" | tr '\n' ' ')"
printf '%-12s %16s %16s   %s\n' ImageMagick "$m_time" "$(mb "$m_peak")" \
    "$(cut -d' ' -f1 "$work/magick.runs" | tr '\n' ' ')"
echo
awk -v o="$o_time" -v m="$m_time" -v p="$o_peak" 'BEGIN {
    printf "time ratio ombrix / ImageMagick: %.3f (target: at most 0.333)\n", o / m
    if (p != "-")
        printf "ombrix peak memory: %.1f MB (target: under 200 MB)\n", p * 1024 / 1e6
}'
