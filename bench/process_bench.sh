#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times the whole process of writing the start-up image at 3840 x 2160 as a
# BMP, a JPEG and a PNG file, side by side with GraphicsMagick drawing a
# linear gradient and ImageMagick a radial gradient of the same size to the
# same format, and reports the peak memory of each.
#
# Usage: bench/process_bench.sh [OMBRIX_BINARY] [RUNS] [FORMATS]
#   OMBRIX_BINARY  the command line program (default: build-bench/ombrix
#                  beside this folder)
#   RUNS           timed runs of each command (default 7); one untimed run
#                  of each goes first so that all start with warm caches
#   FORMATS        the file types, default "bmp jpg png"
#
# The commands take turns (ombrix, GraphicsMagick, ImageMagick, ombrix, ...),
# so that a spell of load on a shared machine falls on all of them rather
# than on one; the medians are reported.  A tool that is not installed is
# left out (GraphicsMagick: Debian package graphicsmagick; ImageMagick:
# imagemagick).
#
# The figures are measured and printed, never judged: the exit status is 0
# whenever every command ran and wrote its file, whatever the times.
# Targets they are read against: at most half of GraphicsMagick's time for
# each format, and a peak memory under 100 MB.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
ombrix="${1:-$here/../build-bench/ombrix}"
runs="${2:-7}"
formats="${3:-bmp jpg png}"
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
magick=()
if command -v convert > /dev/null 2>&1; then
    magick=(convert)
elif command -v magick > /dev/null 2>&1; then
    magick=(magick)
fi
gm=()
if command -v gm > /dev/null 2>&1; then
    gm=(gm convert)
fi
if ((${#magick[@]} == 0 && ${#gm[@]} == 0)); then
    echo "Neither GraphicsMagick ('gm') nor ImageMagick ('convert') is installed" >&2
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

# The command of tool $1 writing format $2 to $3.
command_for() {
    case "$1" in
    ombrix) cmd=("$ombrix" render --preset 3 --size "$size" --out "$3") ;;
    gm) cmd=("${gm[@]}" -size "$size" "gradient:#b0e0ff-#000050" "$3") ;;
    magick) cmd=("${magick[@]}" -size "$size" "radial-gradient:#b0e0ff-#000050" "$3") ;;
    esac
}

tools=(ombrix)
((${#gm[@]})) && tools+=(gm)
((${#magick[@]})) && tools+=(magick)
declare -A label=([ombrix]=ombrix [gm]=GraphicsMagick [magick]=ImageMagick)

# Kibibytes as reported by GNU time, in megabytes of 10^6 bytes.
mb() { awk -v k="$1" 'BEGIN {if (k == "-") print "-"; else printf "%.1f", k * 1024 / 1e6}'; }

echo "ombrix:         $ombrix render --preset 3 --size $size --out FILE"
((${#gm[@]})) && echo "GraphicsMagick: ${gm[*]} -size $size gradient:#b0e0ff-#000050 FILE"
((${#magick[@]})) && echo "ImageMagick:    ${magick[*]} -size $size radial-gradient:#b0e0ff-#000050 FILE"
echo "runs:           $runs of each, taking turns, after one warm-up run of each"
echo

for ext in $formats; do
    # One untimed run of each, then RUNS timed runs of each, taking turns.
    for tool in "${tools[@]}"; do
        command_for "$tool" "$ext" "$work/$tool.$ext"
        run_once "$work/$tool.$ext" "${cmd[@]}" > /dev/null
        : > "$work/$tool.runs"
    done
    for ((i = 1; i <= runs; ++i)); do
        for tool in "${tools[@]}"; do
            command_for "$tool" "$ext" "$work/$tool.$ext"
            run_once "$work/$tool.$ext" "${cmd[@]}" >> "$work/$tool.runs"
        done
    done
    printf '%-5s %-15s %16s %16s %12s   %s\n' "$ext" "" "median time (s)" "peak RSS (MB)" "file (MB)" "all times (s)"
    for tool in "${tools[@]}"; do
        t="$(cut -d' ' -f1 "$work/$tool.runs" | median)"
        p="$(cut -d' ' -f2 "$work/$tool.runs" | largest)"
        f="$(stat -c %s "$work/$tool.$ext" | awk '{printf "%.2f", $1 / 1e6}')"
        printf '%-5s %-15s %16s %16s %12s   %s\n' "" "${label[$tool]}" "$t" "$(mb "$p")" "$f" \
            "$(cut -d' ' -f1 "$work/$tool.runs" | tr '\n' ' ')"
        eval "median_$tool=$t"
    done
    if ((${#gm[@]})); then
        awk -v o="$median_ombrix" -v g="$median_gm" 'BEGIN {
            printf "      ombrix / GraphicsMagick: %.3f (target: at most 0.5)\n", o / g }'
    fi
    if ((${#magick[@]})); then
        awk -v o="$median_ombrix" -v m="$median_magick" 'BEGIN {
            printf "      ombrix / ImageMagick: %.3f\n", o / m }'
    fi
    echo
done
