# shellcheck shell=bash
# The `shortcuts` mode of tools/bench.sh (sourced by it; uses its helpers timed_run, median, use_prefix,
# release_prefix, field, OUT_DIR, CLI_EXE).
# A prefix whose fixed test drive S: (tools/prefix.d/shortcut-drives.sh) holds a tree of SHORTCUT_FOLDERS
# folders (default 20,000) with SHORTCUT_LINKS shortcuts (default 5,000, every fifth one broken), made
# once and kept; then RUNS timed runs each of `orvalin-cli scan --json` and `shortcut-baseline walk`
# (FindFirstFileA and IShellLinkA over the same fixed drives), their medians and ratio (target at most 1.2).
bench_shortcuts() {
    local folders=${SHORTCUT_FOLDERS:-20000} links=${SHORTCUT_LINKS:-5000}
    local prefix="$BUILD_DIR/bench-shortcuts-prefix"
    local baseline="$BUILD_DIR/tools/bench/shortcut-baseline.exe"
    local marker="$prefix/.orvalin-shortcut-tree-$folders-$links"
    configure_and_build --target orvalin-cli shortcut-baseline || return 1
    mkdir -p "$OUT_DIR"
    make_prefix "$prefix" || return 1
    if [ ! -f "$marker" ]; then
        log "making the shortcut tree once: $folders folders, $links shortcuts on S: (several minutes)"
        rm -rf "$prefix/orvalin-drives/fixed/tree"
        use_prefix "$prefix"
        WINEPREFIX="$prefix" wine "$baseline" make-tree 'S:\tree' "$folders" "$links" || { release_prefix; return 1; }
        release_prefix
        touch "$marker"
    fi

    log "timing $RUNS runs each of orvalin-cli scan --json and shortcut-baseline walk"
    use_prefix "$prefix"
    timed_run "$prefix" /dev/null /dev/null "$CLI_EXE" scan --json >/dev/null
    timed_run "$prefix" /dev/null /dev/null "$baseline" walk >/dev/null
    local t cli_times=() base_times=() failed=0
    for _ in $(seq "$RUNS"); do
        t=$(timed_run "$prefix" "$OUT_DIR/shortcuts-scan.json" "$OUT_DIR/shortcuts-scan.err" "$CLI_EXE" scan --json) || failed=1
        cli_times+=("$t")
        t=$(timed_run "$prefix" "$OUT_DIR/shortcuts-baseline.txt" "$OUT_DIR/shortcuts-baseline.err" "$baseline" walk) || failed=1
        base_times+=("$t")
    done
    release_prefix
    if [ $failed = 1 ]; then
        log "a run failed:"; cat "$OUT_DIR/shortcuts-scan.err" "$OUT_DIR/shortcuts-baseline.err" >&2
        return 1
    fi

    local cli_median base_median ratio counts
    cli_median=$(printf '%s\n' "${cli_times[@]}" | median)
    base_median=$(printf '%s\n' "${base_times[@]}" | median)
    ratio=$(awk -v a="$cli_median" -v b="$base_median" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')
    counts=$(python3 -c 'import json, sys
s = json.load(open(sys.argv[1], encoding="utf-8"))["shortcuts"]
print(s["scanned"], s["found"])' "$OUT_DIR/shortcuts-scan.json") || { log "no \"shortcuts\" object in the scan's JSON"; return 1; }

    echo
    echo "shortcuts benchmark: $folders folders, $links shortcuts (every fifth broken) on S:, $RUNS runs each"
    echo "  orvalin-cli scan --json   runs (ms): ${cli_times[*]}"
    echo "  shortcut-baseline walk    runs (ms): ${base_times[*]}"
    echo "  median orvalin-cli scan --json: $cli_median ms"
    echo "  median shortcut-baseline walk:  $base_median ms"
    echo "  ratio: $ratio (target at most 1.2)"
    echo "  scanned/found: orvalin-cli $counts, baseline $(field scanned "$OUT_DIR/shortcuts-baseline.err") $(field findings "$OUT_DIR/shortcuts-baseline.err")"
}
