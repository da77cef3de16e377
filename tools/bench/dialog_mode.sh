# shellcheck shell=bash
# The `dialog` mode of tools/bench.sh (sourced by it; uses its helpers timed_run, median, now_ms,
# use_prefix, release_prefix, OUT_DIR, CLI_EXE). On the scan mode's prefix (BENCH_UNITS units, 50,000 COM
# classes by default): RUNS scans each through the window (the main page's Scan button clicked with
# xdotool, timed from the click to the results screen) and with `orvalin-cli scan --json` (the whole
# process), their medians and ratio (the window may cost at most 10% more). The results screen is seen on
# one pixel of its Close button, read from the X screen about every 250 ms (a tighter loop of grabs
# takes processor time from the scan it measures).
. "$ROOT/tools/e2e/e2e_lib.sh"
. "$ROOT/tools/bench/startup_mode.sh"

# "x y colour": a pixel of the results screen's Close button that the scan progress screen does not have.
results_pixel() {
    local s b
    mapfile -t s < <(e2e_record SCREENSCANCOMPLETEINFO ScanComplete)
    mapfile -t b < <(e2e_record SCREENSCANCOMPLETE_BUTTONINFO BUTTON_OK)
    local p
    mapfile -t p < <(e2e_record SCREENERRORSCANINFO ErrorScan)
    "$PY" - "$SKIN_DIR/${s[1]}" "$SKIN_DIR/${p[1]}" "${b[1]}" "${b[2]}" "${b[3]}" "${b[4]}" "${s[5]}" "${s[6]}" <<'EOF'
import sys
from PIL import Image
done, progress = (Image.open(p).convert("RGB") for p in sys.argv[1:3])
bx, by, bw, bh, sx, sy = map(int, sys.argv[3:9])
best = max(((sum(abs(a - b) for a, b in zip(done.getpixel((x, y)), progress.getpixel((x, y)))), x, y)
            for x in range(bx + 2, bx + bw - 2) for y in range(by + 2, by + 6)))
_, x, y = best
r, g, b = done.getpixel((x, y))
print(sx + x, sy + y, f"#{r:02X}{g:02X}{b:02X}")
EOF
}

bench_dialog() {
    local units=${BENCH_UNITS:-1250}
    local prefix="${BENCH_PREFIX:-$BUILD_DIR/bench-prefix}"
    [ -n "${BENCH_NO_BUILD:-}" ] || configure_and_build --target orvalin orvalin-cli orvalin-seed || return 1
    e2e_build_helpers || return 1
    mkdir -p "$OUT_DIR"
    seeded_prefix "$prefix" --scale "$units" || return 1
    ensure_display || return 1
    local px py colour
    read -r px py colour < <(results_pixel)
    [ -n "${colour:-}" ] || { log "no Close button on the results screen in the skin"; return 1; }
    use_prefix "$prefix"
    # shellcheck disable=SC2034 # read by the e2e_lib.sh functions
    E2E_PREFIX_IN_USE=$prefix
    e2e_start_app "$prefix" || return 1
    e2e_wait_main_window 60 || { log "the main window did not appear"; e2e_stop_app; release_prefix; return 1; }
    local s b
    mapfile -t s < <(e2e_record SUBMAINSCREENINFO SUBMAIN_MAIN)
    mapfile -t b < <(e2e_record SUBMAIN_MAIN_BUTTONINFO BUTTON_SCAN)
    local i t start window_times=() cli_times=() failed=0
    # One untimed scan of each first, so both start with the registry and the file cache warm.
    for i in $(seq 0 "$RUNS"); do
        xdotool mousemove $((s[5] + b[1] + b[3] / 2)) $((s[6] + b[2] + b[4] / 2))
        sleep 0.3
        start=$(now_ms)
        xdotool click 1
        t=
        while [ $(($(now_ms) - start)) -lt 600000 ]; do
            [ "$(screen_pixel "$px" "$py" | cut -c1-7)" = "$colour" ] && { t=$(($(now_ms) - start)); break; }
            sleep 0.2 # a grab costs a process: polled slowly so the scan keeps the cores
        done
        [ -n "$t" ] || { log "the results screen did not come"; failed=1; break; }
        xdotool mousemove $((DESKTOP_W - 60)) $((DESKTOP_H - 120))
        sleep 0.5
        e2e_click_screen_button SCREENSCANCOMPLETE ScanComplete BUTTON_OK
        e2e_wait_no_screen 30 || { failed=1; break; }
        [ "$i" -gt 0 ] && window_times+=("$t")
        t=$(timed_run "$prefix" "$OUT_DIR/dialog-cli.json" "$OUT_DIR/dialog-cli.err" "$CLI_EXE" scan --json) || { failed=1; break; }
        [ "$i" -gt 0 ] && cli_times+=("$t")
    done
    e2e_stop_app
    release_prefix
    stop_xvfb
    [ $failed = 0 ] || return 1
    local wm cm ratio
    wm=$(printf '%s\n' "${window_times[@]}" | median)
    cm=$(printf '%s\n' "${cli_times[@]}" | median)
    ratio=$(awk -v a="$wm" -v b="$cm" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')
    echo
    echo "dialog benchmark: $((units * 40)) seeded COM classes ($units units), $RUNS runs each"
    echo "  scan through the window (click to results screen) runs (ms): ${window_times[*]}"
    echo "  orvalin-cli scan --json (whole process)           runs (ms): ${cli_times[*]}"
    echo "  median window: $wm ms"
    echo "  median orvalin-cli scan --json: $cm ms"
    echo "  ratio: $ratio (target at most 1.10)"
}
