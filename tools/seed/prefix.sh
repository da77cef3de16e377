# shellcheck shell=bash
# Seeded Wine prefixes for tools/run.sh and tools/bench.sh. Source it after tools/lib.sh.

SEED_EXE="$BUILD_DIR/tools/seed/orvalin-seed.exe"

# seeded_prefix PREFIX [orvalin-seed arguments...]
# A prefix copied from the booted template and seeded once with those arguments (none: left as booted).
# The arguments are kept in a marker file: the same call again costs nothing, different arguments start afresh.
seeded_prefix() {
    local prefix=$1; shift
    local marker="$prefix/.orvalin-seeded" wanted="seed: $*"
    if [ -f "$marker" ] && [ "$(cat "$marker")" = "$wanted" ] && prefix_current "$prefix"; then
        return 0
    fi
    [ -d "$prefix" ] && rm -rf "$prefix"
    make_prefix "$prefix" || return 1
    if [ $# -gt 0 ]; then
        log "seeding $prefix ($*)"
        WINEPREFIX="$prefix" wine "$SEED_EXE" "$@" >&2 || { log "seeding failed"; return 1; }
        # The registry reaches the prefix's files when the server ends.
        WINEPREFIX="$prefix" wineserver -k 2>/dev/null
        WINEPREFIX="$prefix" wineserver -w 2>/dev/null
    fi
    echo "$wanted" >"$marker"
}
