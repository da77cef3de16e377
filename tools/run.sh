#!/usr/bin/env bash
# Builds Orvalin and runs it on its built-in demo data: a Wine prefix (build/demo-prefix) seeded once with
# working and broken registrations of every kind the scan examines, then the scan of that prefix.
set -uo pipefail
. "$(dirname "$0")/lib.sh"
. "$ROOT/tools/seed/prefix.sh"

# What the demo needs built; later steps of the demo add their programs here.
RUN_TARGETS=(orvalin-cli orvalin-seed)
CLI_EXE="$BUILD_DIR/src/cli/orvalin-cli.exe"
DEMO_PREFIX="$BUILD_DIR/demo-prefix"

ensure_packages || exit 1
configure_and_build --target "${RUN_TARGETS[@]}" || exit 1
seeded_prefix "$DEMO_PREFIX" --scale 1 || exit 1

log "orvalin-cli scan of the demo prefix (a scan changes nothing; the demo files are in C:\\OrvalinDemo)"
WINEPREFIX="$DEMO_PREFIX" wine "$CLI_EXE" scan
