#!/usr/bin/env bash
# Builds Orvalin and runs it on its built-in demo data: a Wine prefix (build/demo-prefix) seeded once with
# working and broken registrations of every kind the scan examines, then the scan of that prefix.
set -uo pipefail
. "$(dirname "$0")/lib.sh"
. "$ROOT/tools/seed/prefix.sh"
. "$ROOT/tools/screenshots.sh"

# What the demo needs built; later steps of the demo add their programs here.
RUN_TARGETS=(orvalin-cli orvalin-seed orvalin)
CLI_EXE="$BUILD_DIR/src/cli/orvalin-cli.exe"
DEMO_PREFIX="$BUILD_DIR/demo-prefix"

ensure_packages || exit 1
configure_and_build --target "${RUN_TARGETS[@]}" || exit 1
seeded_prefix "$DEMO_PREFIX" --scale 1 --shortcuts || exit 1

log "orvalin-cli scan of the demo prefix (a scan changes nothing; the demo files are in C:\\OrvalinDemo)"
WINEPREFIX="$DEMO_PREFIX" wine "$CLI_EXE" scan

# The program's window, started from the repository root so it finds skin\Skin.ini: on the user's display
# when there is one; otherwise on a private Xvfb, with every page captured into $BUILD_DIR/screenshots.
if [ -n "${DISPLAY:-}" ]; then
    log "orvalin.exe on $DISPLAY (close it to end the demo)"
    (cd "$ROOT" && WINEPREFIX="$DEMO_PREFIX" wine "$APP_EXE")
else
    log "no display: orvalin.exe on a private Xvfb, its pages captured"
    capture_main_window "$DEMO_PREFIX"
fi
