#!/usr/bin/env bash
# Installs what is missing, builds, prepares the test Wine prefix and runs every test under Wine.
# Ends with the line "N passed, N failed"; exits non-zero on any failure.
set -uo pipefail
. "$(dirname "$0")/lib.sh"

ensure_packages || exit 1
configure_and_build || { echo "0 passed, 1 failed"; exit 1; }
make_prefix "$BUILD_DIR/test-prefix" || exit 1
ensure_display || exit 1
trap 'stop_wineserver "$BUILD_DIR/test-prefix"; stop_xvfb' EXIT
start_wineserver "$BUILD_DIR/test-prefix"

log "running tests"
ctest --test-dir "$BUILD_DIR" --output-on-failure --timeout 300 "$@" | tee "$BUILD_DIR/ctest.log"
rc=${PIPESTATUS[0]}

# "total failed" from the summary line of a ctest log.
counts() {
    local summary total failed
    summary=$(grep -E 'tests passed, [0-9]+ tests failed out of' "$1" | tail -1)
    total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$summary")
    failed=$(sed -E 's/.* ([0-9]+) tests failed out of.*/\1/' <<<"$summary")
    [ "${total:-0}" -gt 0 ] 2>/dev/null || { echo "0 0"; return; }
    echo "$total ${failed:-0}"
}
# The names of the failed tests in a ctest log, one a line.
failed_names() {
    awk '/The following tests FAILED:/ { f = 1; next }
         f && /^[ \t]+[0-9]+ - / { sub(/^[ \t]+[0-9]+ - /, ""); sub(/ \(.*$/, ""); print; next }
         { f = 0 }' "$1" | sort
}
read -r total failed < <(counts "$BUILD_DIR/ctest.log")

# Under Wine a test process very rarely ends at once without a line of output (seen once in some thousands
# of runs: the program never started). The failed tests run once more; one that passes then is counted as
# passed but named, so a test that fails now and then is still seen.
if [ "$rc" != 0 ] && [ "$failed" -gt 0 ] && [ "$failed" -le 5 ]; then
    log "running the $failed failed test(s) once more"
    ctest --test-dir "$BUILD_DIR" --output-on-failure --timeout 300 --rerun-failed | tee "$BUILD_DIR/ctest-rerun.log"
    rerun_rc=${PIPESTATUS[0]}
    read -r rerun_total rerun_failed < <(counts "$BUILD_DIR/ctest-rerun.log")
    if [ "$rerun_total" = "$failed" ]; then
        flaky=$(comm -23 <(failed_names "$BUILD_DIR/ctest.log") <(failed_names "$BUILD_DIR/ctest-rerun.log"))
        [ -z "$flaky" ] || { echo "passed only when run a second time:"; sed 's/^/  /' <<<"$flaky"; }
        failed=$rerun_failed
        rc=$rerun_rc
    fi
fi
[ -x "$ROOT/tools/e2e.sh" ] && [ -z "${ORVALIN_SKIP_E2E:-}" ] && [ "$rc" = 0 ] && {
    "$ROOT/tools/e2e.sh" || { rc=1; failed=$((failed + 1)); }
}
echo "$((total - failed)) passed, $failed failed"
[ "$rc" = 0 ] && [ "$total" -gt 0 ]
