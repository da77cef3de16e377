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

summary=$(grep -E 'tests passed, [0-9]+ tests failed out of' "$BUILD_DIR/ctest.log" | tail -1)
total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$summary")
failed=$(sed -E 's/.* ([0-9]+) tests failed out of.*/\1/' <<<"$summary")
total=${total:-0}; failed=${failed:-0}
[ "$total" -gt 0 ] 2>/dev/null || { total=0; failed=0; }
[ -x "$ROOT/tools/e2e.sh" ] && [ -z "${ORVALIN_SKIP_E2E:-}" ] && [ "$rc" = 0 ] && {
    "$ROOT/tools/e2e.sh" || { rc=1; failed=$((failed + 1)); }
}
echo "$((total - failed)) passed, $failed failed"
[ "$rc" = 0 ] && [ "$total" -gt 0 ]
