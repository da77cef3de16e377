# shellcheck shell=bash
# The `startup` mode of tools/bench.sh (sourced by it; uses its helpers median, now_ms, use_prefix,
# release_prefix, OUT_DIR). orvalin.exe started from the repository root RUNS times (default 5) on a prefix
# whose wineserver is running, each time timed from the launch to the first painted main window: the moment
# a pixel of the first page button differs from the empty desktop there. The screen is read with one 1x1
# grab of the X root window at a time, about every 20-40 ms.
. "$ROOT/tools/e2e/e2e_lib.sh"

# The colour of one pixel of the X screen, as ImageMagick prints it.
screen_pixel() { import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null | tail -1 | awk '{ print $3 }'; }

bench_startup() {
    local prefix="$BUILD_DIR/bench-startup-prefix"
    [ -n "${BENCH_NO_BUILD:-}" ] || configure_and_build --target orvalin || return 1
    e2e_build_helpers || return 1
    mkdir -p "$OUT_DIR"
    make_prefix "$prefix" || return 1
    ensure_display || return 1
    local x y
    read -r x y _ _ < <(e2e_record MAINSCREENBUTTONINFO BUTTON_MAIN | sed -n 2,5p | tr '\n' ' ')
    x=$((x + 4)) y=$((y + 4))
    use_prefix "$prefix"
    # shellcheck disable=SC2034 # read by the e2e_lib.sh functions
    E2E_PREFIX_IN_USE=$prefix
    # Painted once the pixel differs from the empty desktop beside the window (read at the same moment).
    # The first start is untimed: it brings the desktop up and warms the file cache.
    local i start t a times=() failed=0
    for i in $(seq 0 "$RUNS"); do
        start=$(now_ms)
        e2e_start_app "$prefix" || { failed=1; break; }
        t=
        while [ $(($(now_ms) - start)) -lt 60000 ]; do
            a=$(screen_pixel "$x" "$y")
            if [ -n "$a" ] && [ "$a" != "$(screen_pixel 900 600)" ]; then t=$(($(now_ms) - start)); break; fi
        done
        e2e_stop_app
        [ -n "$t" ] || { log "the main window did not appear"; failed=1; break; }
        # The window is gone before the next start.
        while [ "$(screen_pixel "$x" "$y")" != "$(screen_pixel 900 600)" ]; do sleep 0.05; done
        [ "$i" -gt 0 ] && times+=("$t")
    done
    release_prefix
    stop_xvfb
    [ $failed = 0 ] || return 1
    echo
    echo "startup benchmark: orvalin.exe from launch to the first painted main window, $RUNS runs (warm wineserver)"
    echo "  runs (ms): ${times[*]}"
    echo "  median: $(printf '%s\n' "${times[@]}" | median) ms"
}
