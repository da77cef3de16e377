#!/usr/bin/env bash
# Benchmarks, each a mode:  tools/bench.sh MODE...
#   scan   orvalin-cli scan --json against scan-baseline (the same keys, values and file tests in plain
#          Win32) on a prefix seeded with 50,000 COM classes and proportionate other entries: medians of
#          RUNS runs each, their ratio, and the scan's peak memory on prefixes of different make-up.
#   shortcuts  orvalin-cli scan --json against shortcut-baseline on a tree of 20,000 folders and 5,000
#          shortcuts (see tools/bench/shortcuts_mode.sh).
#   startup  orvalin.exe from launch to the first painted main window, median of RUNS runs
#            (tools/bench/startup_mode.sh)
#   dialog   a scan through the window against orvalin-cli scan --json on the scan mode's prefix
#            (tools/bench/dialog_mode.sh)
# Environment: BUILD_DIR (default build), RUNS (default 5), BENCH_UNITS (default 1250 units = 50,000 classes),
# BENCH_NO_BUILD=1 to time the programs already built, BENCH_SPINNERS (default 1; see below), BENCH_PREFIX
# (dialog mode: another prefix, e.g. a small one for the fixed cost of the window).
set -uo pipefail
. "$(dirname "$0")/lib.sh"
. "$ROOT/tools/seed/prefix.sh"

RUNS=${RUNS:-5}
CLI_EXE="$BUILD_DIR/src/cli/orvalin-cli.exe"
BASELINE_EXE="$BUILD_DIR/tools/bench/scan-baseline.exe"
OUT_DIR="$BUILD_DIR/bench-out"

# ---- shared helpers -------------------------------------------------------------------------------

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR == 0) print 0; else if (NR % 2) print v[(NR + 1) / 2];
                                               else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }

# timed_run PREFIX STDOUT STDERR PROGRAM ARGS...: prints the wall time in milliseconds; fails with the program.
timed_run() {
    local prefix=$1 out=$2 err=$3; shift 3
    local start end rc
    start=$(now_ms)
    WINEPREFIX="$prefix" wine "$@" >"$out" 2>"$err"
    rc=$?
    end=$(now_ms)
    echo $((end - start))
    return $rc
}

# The prefix whose wineserver is kept running; ended on exit whatever happens.
ACTIVE_PREFIX=
use_prefix() { ACTIVE_PREFIX=$1; start_wineserver "$1"; }
release_prefix() { stop_wineserver "$ACTIVE_PREFIX"; ACTIVE_PREFIX=; }

# A scan is a long ping-pong between the program and the wineserver. On an otherwise idle virtual machine
# each hand-over waits for a halted core to wake: the same scan took 32 s with the machine idle and 6 s with
# one busy core beside it, and a program with a busy thread of its own (the window's animation) gains what
# a console program loses. So every mode runs with BENCH_SPINNERS (default 1) lowest-priority busy loops,
# which take only what nothing else wants; BENCH_SPINNERS=0 measures the idle machine.
SPINNER_PIDS=()
start_spinners() {
    local i
    for ((i = 0; i < ${BENCH_SPINNERS:-1}; ++i)); do
        nice -n 19 bash -c 'while :; do :; done' &
        SPINNER_PIDS+=($!)
    done
}
stop_spinners() { [ ${#SPINNER_PIDS[@]} = 0 ] || kill "${SPINNER_PIDS[@]}" 2>/dev/null; SPINNER_PIDS=(); }
trap '[ -n "$ACTIVE_PREFIX" ] && stop_wineserver "$ACTIVE_PREFIX"; stop_spinners' EXIT

# field NAME FILE: the value of NAME=value in a stats line.
field() { grep -o "$1=[0-9.]*" "$2" | tail -1 | cut -d= -f2; }

# ---- mode: scan -----------------------------------------------------------------------------------

# One scan of PREFIX for its memory figure: prints "findings peak_kib".
scan_memory() {
    local prefix=$1 name=$2
    use_prefix "$prefix"
    WINEPREFIX="$prefix" wine "$CLI_EXE" scan --json --no-shortcuts --stats >"$OUT_DIR/$name.json" 2>"$OUT_DIR/$name.err"
    local rc=$?
    release_prefix
    [ $rc = 0 ] || { log "scan of $prefix failed ($rc): $(cat "$OUT_DIR/$name.err")"; return 1; }
    echo "$(field findings "$OUT_DIR/$name.err") $(field peak_working_set_kib "$OUT_DIR/$name.err")"
}

bench_scan() {
    local units=${BENCH_UNITS:-1250}
    local classes=$((units * 40))
    local prefix="$BUILD_DIR/bench-prefix" sparse="$BUILD_DIR/bench-sparse-prefix" fresh="$BUILD_DIR/bench-fresh-prefix"
    [ -n "${BENCH_NO_BUILD:-}" ] || configure_and_build --target orvalin-cli orvalin-seed scan-baseline || return 1
    mkdir -p "$OUT_DIR"
    seeded_prefix "$prefix" --scale "$units" || return 1

    log "timing $RUNS runs each of orvalin-cli scan --json and scan-baseline ($classes seeded COM classes)"
    use_prefix "$prefix"
    # One untimed run of each first, so both start with the registry and the file cache warm.
    timed_run "$prefix" /dev/null /dev/null "$CLI_EXE" scan --json --no-shortcuts >/dev/null
    timed_run "$prefix" /dev/null /dev/null "$BASELINE_EXE" >/dev/null
    local i t cli_times=() base_times=() failed=0
    for i in $(seq "$RUNS"); do
        t=$(timed_run "$prefix" "$OUT_DIR/scan.json" "$OUT_DIR/scan.err" "$CLI_EXE" scan --json --no-shortcuts --stats) || failed=1
        cli_times+=("$t")
        t=$(timed_run "$prefix" "$OUT_DIR/baseline.txt" "$OUT_DIR/baseline.err" "$BASELINE_EXE") || failed=1
        base_times+=("$t")
    done
    release_prefix
    if [ $failed = 1 ]; then
        log "a run failed:"; cat "$OUT_DIR/scan.err" "$OUT_DIR/baseline.err" >&2
        return 1
    fi

    local cli_median base_median ratio
    cli_median=$(printf '%s\n' "${cli_times[@]}" | median)
    base_median=$(printf '%s\n' "${base_times[@]}" | median)
    ratio=$(awk -v a="$cli_median" -v b="$base_median" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')
    local cli_findings base_findings
    cli_findings=$(field findings "$OUT_DIR/scan.err")
    base_findings=$(field findings "$OUT_DIR/baseline.err")
    if ! python3 -c 'import json, sys; json.load(open(sys.argv[1], encoding="utf-8"))' "$OUT_DIR/scan.json"; then
        log "orvalin-cli scan --json did not print valid JSON ($OUT_DIR/scan.json)"
        return 1
    fi

    log "memory: the same scan on a prefix of as many classes with few findings, and on a fresh prefix"
    seeded_prefix "$sparse" --scale 50 --extra-classes $((classes - 50 * 40)) || return 1
    seeded_prefix "$fresh" || return 1
    local big sparse_m fresh_m
    big="$cli_findings $(field peak_working_set_kib "$OUT_DIR/scan.err")"
    sparse_m=$(scan_memory "$sparse" sparse) || return 1
    fresh_m=$(scan_memory "$fresh" fresh) || return 1

    echo
    echo "scan benchmark: $classes seeded COM classes ($units units), $RUNS runs each"
    echo "  orvalin-cli scan --json  runs (ms): ${cli_times[*]}"
    echo "  scan-baseline            runs (ms): ${base_times[*]}"
    echo "  median orvalin-cli scan --json: $cli_median ms"
    echo "  median scan-baseline:           $base_median ms"
    echo "  ratio: $ratio (target at most 1.25)"
    echo "  findings: orvalin-cli $cli_findings, baseline $base_findings"
    [ "$cli_findings" = "$base_findings" ] || echo "  NOTE: the finding counts differ (see $OUT_DIR)"
    echo "  baseline peak memory: $(field peak_working_set_kib "$OUT_DIR/baseline.err") KiB"
    echo "  scan peak memory (working set):"
    printf '    %-44s %9s findings %9s KiB\n' "$classes classes, many findings" $big
    printf '    %-44s %9s findings %9s KiB\n' "$classes classes, few findings" $sparse_m
    printf '    %-44s %9s findings %9s KiB\n' "fresh prefix (about 600 classes)" $fresh_m
}

# ---- other modes, one file each -------------------------------------------------------------------
. "$ROOT/tools/bench/shortcuts_mode.sh"

. "$ROOT/tools/bench/startup_mode.sh"
. "$ROOT/tools/bench/dialog_mode.sh"

# ---- dispatch -------------------------------------------------------------------------------------

[ $# -gt 0 ] || { echo "usage: tools/bench.sh scan|shortcuts|startup|dialog ..." >&2; exit 2; }
ensure_packages || exit 1
start_spinners
for mode in "$@"; do
    case "$mode" in
    scan) bench_scan || exit 1 ;;
    startup) bench_startup || exit 1 ;;
    dialog) bench_dialog || exit 1 ;;
    shortcuts) bench_shortcuts || exit 1 ;;
    *) echo "tools/bench.sh: unknown mode '$mode'" >&2; exit 2 ;;
    esac
done
