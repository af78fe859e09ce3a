#!/usr/bin/env bash
# Side-by-side timings of whole programs, min and median over RUNS runs:
#   - the designer's start-up, from launch to its window exposed on an X
#     server (Xvfb), against a minimal Qt Widgets window (bench/startup_window);
#   - `tessaro-cli cab` end to end against `gcab -c` storing the same files.
# Work folders lie in the build tree (the program folder's own disk).
#   bench/startup.sh [RUNS]        (BUILD_DIR names another build folder)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=$(realpath "${BUILD_DIR:-build}")
RUNS=${1:-${RUNS:-15}}

if [ -z "${DISPLAY:-}" ] && [ -z "${TESSARO_IN_XVFB:-}" ]; then
    exec env TESSARO_IN_XVFB=1 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$RUNS"
fi
unset QT_QPA_PLATFORM

W="$BUILD/bench/work-startup"
rm -rf "$W"
mkdir -p "$W/app" "$W/proj" "$W/out" "$W/files"
cp -r "$BUILD/bin/." "$W/app/"
# A project of our own: the foundation sample with its pictures.
cp tests/data/foundation/sample.trpf "$W/proj/"
cp "$BUILD/bin/Green" "$W/proj/user.scheme.xml"
convert -size 176x200 gradient:navy-gold "$W/proj/back.jpg"
convert -size 176x20 gradient:crimson-teal BMP3:"$W/proj/mybar.bmp"
convert -size 176x40 xc:gray60 "$W/proj/tile.jpg"

now_us() { local t=$EPOCHREALTIME; echo "${t/./}"; }

# Prints "min median" (ms, one decimal) of the numbers on stdin.
stats() {
    sort -g | awk '{ v[NR] = $1 } END {
        if (NR == 0) { print "n/a n/a"; exit }
        m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        printf "%.2f %.2f\n", v[1], m }'
}

# Launches a window program and prints the ms from launch to its window
# exposed, as the program itself reports it; then ends that program. The
# report is read from a pipe, so nothing polls beside the program.
startup_once() {
    local fifo="$W/startup.fifo"
    rm -f "$fifo"
    mkfifo "$fifo"
    TESSARO_STARTUP_TIME=$(now_us) "$@" 2>"$fifo" &
    local pid=$!
    local line
    while IFS= read -r -t 20 line; do
        case "$line" in
        *"after launch"*)
            sed -n 's/^window shown \([0-9.]*\) ms after launch$/\1/p' <<<"$line"
            break
            ;;
        esac
    done <"$fifo"
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    rm -f "$fifo"
}

# Runs a command once and prints its wall time in ms.
time_once() {
    local t0 t1
    t0=$(now_us)
    "$@" >/dev/null 2>&1
    t1=$(now_us)
    awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.2f\n", (b - a) / 1000 }'
}

report() { # name ours-file floor-file
    read -r omin omed < <(stats <"$2")
    read -r fmin fmed < <(stats <"$3")
    printf '%-34s ours min %7s med %7s | floor min %7s med %7s | ratio (med) %s\n' "$1" \
        "$omin" "$omed" "$fmin" "$fmed" "$(awk -v a="$omed" -v b="$fmed" 'BEGIN { printf "%.2f", a / b }')"
}

echo "runs: $RUNS; $(nproc) cores; load: $(cut -d' ' -f1-3 /proc/loadavg)"

# Start-up: the two programs alternate, so both see the same machine.
: >"$W/designer.ms"
: >"$W/minimal.ms"
startup_once "$BUILD/bin/tessaro" --appdir "$W/app" >/dev/null # warm-up
startup_once "$BUILD/bench/startup_window" >/dev/null
for ((r = 0; r < RUNS; ++r)); do
    startup_once "$BUILD/bin/tessaro" --appdir "$W/app" >>"$W/designer.ms"
    startup_once "$BUILD/bench/startup_window" >>"$W/minimal.ms"
done
report "designer window vs minimal Qt" "$W/designer.ms" "$W/minimal.ms"

# Cabinet: ours end to end, then gcab storing exactly the files ours stored.
cab() { "$BUILD/bin/tessaro-cli" --appdir "$W/app" cab "$W/proj/sample.trpf" "$W/out/Theme.cab"; }
cab
gcab -x -C "$W/files" "$W/out/Theme.cab" >/dev/null
mapfile -t stored < <(gcab -l "$W/out/Theme.cab" | awk '{ print $1 }')
plain_gcab() { (cd "$W/files" && gcab -c "$W/out/gcab.cab" "${stored[@]}"); }
: >"$W/cab.ms"
: >"$W/gcab.ms"
plain_gcab
for ((r = 0; r < RUNS; ++r)); do
    time_once cab >>"$W/cab.ms"
    time_once plain_gcab >>"$W/gcab.ms"
done
report "tessaro-cli cab vs gcab -c" "$W/cab.ms" "$W/gcab.ms"
