#!/usr/bin/env bash
# Runs ctest for an already built tree: tools/ctest.sh BUILD_DIR [ctest args...]
# (the quick loop while developing; tools/test.sh is the full run).
set -uo pipefail
BUILD_DIR=${1:?usage: tools/ctest.sh BUILD_DIR [ctest args]}; shift
. "$(dirname "$0")/lib.sh"
make_prefix "$BUILD_DIR/test-prefix" || exit 1
ensure_display || exit 1
trap 'stop_wineserver "$BUILD_DIR/test-prefix"; stop_xvfb' EXIT
start_wineserver "$BUILD_DIR/test-prefix"
ctest --test-dir "$BUILD_DIR" --output-on-failure --timeout 300 "$@"
