#!/usr/bin/env bash
# Drills: the product under abuse, each printing its figures and PASS or FAIL. Several minutes in all, so
# tools/test.sh does not run them.
#
#   tools/drills.sh [DRILL...]     default: all of them, in this order
#     no-backup        a working directory where no backup can be written: the fix deletes nothing, says so
#     hostile-backups  corrupt, truncated and hostile backup files restored: clean failure, no crash, no hang
#     broken-skins     orvalin.exe started on broken skins: it never crashes
#     scale-window     a registry at scale scanned in the window: it answers within a second, Stop within a
#                      second; fixed in the window and killed part way; the partial backup restores the
#                      registry to its state before the fix
#
# Prefixes: $BUILD_DIR/drills-prefix (small, seeded) and $BUILD_DIR/drills-scale-prefix (seeded once and kept
# like the benchmark's: BENCH_UNITS units, default 1,250 = 50,000 COM classes and 25,000 findings).
# Pictures go to $BUILD_DIR/screenshots/drill-*.png, files to $BUILD_DIR/drills-out. E2E_NO_BUILD=1 uses
# the programs already built.
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
. "$ROOT/tools/seed/prefix.sh"
. "$ROOT/tools/e2e/e2e_lib.sh"

OUT="$BUILD_DIR/drills-out"
SHOTS="$BUILD_DIR/screenshots"
SMALL="$BUILD_DIR/drills-prefix"
SCALE="$BUILD_DIR/drills-scale-prefix"
FAILED=0
LOCKED_DIR=

verdict() { if [ "$2" = 0 ]; then echo "PASS  $1"; else echo "FAIL  $1"; FAILED=$((FAILED + 1)); fi; }

cleanup() {
    e2e_stop_app
    [ -n "$LOCKED_DIR" ] && { chattr -i "$LOCKED_DIR" 2>/dev/null; chmod 755 "$LOCKED_DIR"; }
    [ -n "${E2E_PREFIX_IN_USE:-}" ] && stop_wineserver "$E2E_PREFIX_IN_USE"
    stop_xvfb
}
trap cleanup EXIT

use() { # the prefix the next steps run in, with its wineserver kept warm
    [ -n "${E2E_PREFIX_IN_USE:-}" ] && [ "$E2E_PREFIX_IN_USE" != "$1" ] && stop_wineserver "$E2E_PREFIX_IN_USE"
    E2E_PREFIX_IN_USE=$1
    start_wineserver "$1"
}
cli() { WINEPREFIX="$E2E_PREFIX_IN_USE" wine "$CLI_EXE" "$@"; }

# A folder no one may write into, not even root (immutable where chattr works).
lock_dir() { chmod 555 "$1"; chattr +i "$1" 2>/dev/null; LOCKED_DIR=$1; }
unlock_dir() { chattr -i "$1" 2>/dev/null; chmod 755 "$1"; LOCKED_DIR=; }

# ---- no-backup ---------------------------------------------------------------------------------------

drill_no_backup() {
    echo "-- a working directory where no backup can be written"
    seeded_prefix "$SMALL" --scale 1 || return 1
    use "$SMALL"
    local dir="$OUT/locked" rc
    rm -rf "$dir"; mkdir -p "$dir"
    cp -r "$ROOT/skin" "$dir/skin"
    e2e_export "$SMALL" "$OUT/nobackup-before" || return 1
    lock_dir "$dir"

    # The console tool.
    (cd "$dir" && WINEPREFIX="$SMALL" wine "$CLI_EXE" fix) >"$OUT/nobackup-cli.out" 2>"$OUT/nobackup-cli.err"
    rc=$?
    echo "      orvalin-cli fix: exit $rc; stderr: $(tr -d '\r' <"$OUT/nobackup-cli.err" | head -2 | tr '\n' ' ')"
    e2e_export "$SMALL" "$OUT/nobackup-cli" || return 1
    "$PY" "$E2E_CHECK" same "$OUT/nobackup-before.hklm.reg,$OUT/nobackup-before.hkcu.reg" \
        "$OUT/nobackup-cli.hklm.reg,$OUT/nobackup-cli.hkcu.reg" | sed 's/^/      /'
    local same=${PIPESTATUS[0]}
    verdict "console fix without a writable folder: exit 1, says so, registry unchanged" \
        "$([ $rc = 1 ] && grep -q 'nothing was removed' "$OUT/nobackup-cli.err" && [ "$same" = 0 ]; echo $?)"

    # The window keeps its backups in %LOCALAPPDATA%\Orvalin\Backups: that folder cannot be made.
    # Repair all, then the message that nothing was repaired.
    unlock_dir "$dir"
    local appdir
    appdir="$SMALL/drive_c/users/$(id -un)/AppData/Local/Orvalin"
    rm -rf "$appdir"; mkdir -p "$appdir"
    lock_dir "$appdir"
    local ok=1
    (cd "$dir" && WINEPREFIX="$SMALL" exec wine "$APP_EXE" scan) >"$OUT/nobackup-app.log" 2>&1 &
    E2E_APP_PID=$!
    if e2e_wait_main_window 60 && e2e_wait_screen ScanComplete 120 >/dev/null &&
        e2e_click_screen_button SCREENSCANCOMPLETE ScanComplete BUTTON_FIXERROR && e2e_wait_box 60; then
        sleep 0.3
        e2e_shot "$SHOTS/drill-no-backup-message.png"
        echo "      window: $(e2e_box_lines | head -1)"
        xdotool key Return
        sleep 1
        e2e_shot "$SHOTS/drill-no-backup-after.png"
        echo "      screen after the message: $(e2e_screen)"
        ok=0
    fi
    e2e_stop_app
    e2e_export "$SMALL" "$OUT/nobackup-app" || return 1
    "$PY" "$E2E_CHECK" same "$OUT/nobackup-before.hklm.reg,$OUT/nobackup-before.hkcu.reg" \
        "$OUT/nobackup-app.hklm.reg,$OUT/nobackup-app.hkcu.reg" | sed 's/^/      /'
    [ "${PIPESTATUS[0]}" = 0 ] || ok=1
    local written
    written=$(find "$dir" "$appdir" -name 'FixedOn*' | wc -l)
    [ "$written" = 0 ] || ok=1
    verdict "window fix without a writable folder: a message, registry unchanged, no file" $ok
    unlock_dir "$appdir"
}

# ---- hostile-backups ---------------------------------------------------------------------------------

make_hostile_files() {
    local d=$1
    rm -rf "$d"; mkdir -p "$d"
    cp "$ROOT"/fuzz/corpus/xml_reader/* "$d/" 2>/dev/null
    local f; for f in "$ROOT"/fuzz/regressions/xml_reader/*; do [ -f "$f" ] && cp "$f" "$d/regression-$(basename "$f")"; done
    "$PY" - "$d" <<'EOF'
import os, random, sys
d = sys.argv[1]
random.seed(7)
def w(name, data):
    open(os.path.join(d, name), "wb").write(data if isinstance(data, bytes) else data.encode("latin-1"))
entry = '<k name="HKEY_CURRENT_USER"><k name="Software"><k name="OrvalinDrill"><k name="K{i}"><v name="v" value="x"/></k></k></k></k>\n'
w("empty.xml", b"")
w("nul-bytes.xml", b"\0" * 4096)
w("random.xml", bytes(random.getrandbits(8) for _ in range(65536)))
w("nesting-10000.xml", '<registry><k name="HKEY_CURRENT_USER">' + '<k name="n">' * 10000 + '<v name="v" value="x"/>'
  + "</k>" * 10001 + "</registry>")
w("nesting-10000-open.xml", '<registry>' + '<k name="HKEY_CURRENT_USER">' * 10000)
w("line-1mb-name.xml", '<registry><k name="HKEY_CURRENT_USER"><k name="' + "A" * (1 << 20) + '"/></k></registry>\n')
w("line-1mb-value.xml", '<registry><k name="HKEY_CURRENT_USER"><k name="Software"><k name="OrvalinDrill">'
  '<v name="big" value="' + "x" * (1 << 20) + '"/></k></k></k></registry>\n')
w("lines-1mb.xml", "<registry>\n" + "".join("<!-- " + "y" * (1 << 20) + " -->\n" for _ in range(8)) + "</registry>\n")
w("unterminated-attribute.xml", '<registry><k name="' + "z" * 100000)
w("bad-root.xml", '<registry><k name="HKEY_NOSUCHROOT"><k name="x"><v name="a" value="zz"/></k></k></registry>')
w("bad-types.xml", '<registry><k name="HKEY_CURRENT_USER"><k name="Software"><k name="OrvalinDrill">'
  '<v name="a" type="4" value="notanumber"/><v name="b" type="3" value="GG:HH"/><v name="c" type="-1" value=""/>'
  '<v name="d" type="99999999999999999999" value="1"/><v name="e" value="hex(7):zz"/></k></k></k></registry>')
w("key-too-long.xml", '<registry><k name="HKEY_CURRENT_USER"><k name="' + "k" * 70000 + '"/></k></registry>')
w("entities.xml", '<registry><k name="&amp;&lt;&#0;&#xFFFFFFFF;&unknown;"/></registry>')
w("foreign.xml", '<?xml version="1.0"?><html><body>not a backup</body></html>')
# 100 MB: many well-formed entries of one key, then garbage
with open(os.path.join(d, "big-100mb.xml"), "wb") as f:
    chunk = "".join(entry.format(i=i % 50) for i in range(1000)).encode()
    written = 0
    f.write(b"<registry>\n")
    while written < 100 * 1024 * 1024:
        f.write(chunk); written += len(chunk)
    f.write(b"</registry>\n")
EOF
    [ -f "$d/big-100mb.xml" ]
}

# restore_one FILE: "exit ms first-line-of-stderr"; a hang is ended (exit 124) after 120 s and 5 s more per
# MB of file: a restore writes every entry it reads, and the 100 MB file holds about 950,000 of them, which
# take one to several minutes depending on how busy the machine is.
restore_one() {
    local file=$1 start end rc limit
    limit=$((120 + 5 * $(stat -c %s "$file") / 1048576))
    start=$(date +%s%N)
    timeout "$limit" env WINEPREFIX="$E2E_PREFIX_IN_USE" wine "$CLI_EXE" restore "$(e2e_windows_path "$file")" \
        >"$OUT/restore.out" 2>"$OUT/restore.err"
    rc=$?
    end=$(date +%s%N)
    echo "$rc $(((end - start) / 1000000)) $(tr -d '\r' <"$OUT/restore.err" | grep -v '^wine:' | tail -1)"
}

drill_hostile_backups() {
    echo "-- corrupt, truncated and hostile backup files"
    seeded_prefix "$SMALL" --scale 1 || return 1
    use "$SMALL"
    local d="$OUT/hostile"
    make_hostile_files "$d" || { verdict "hostile backup files made" 1; return 1; }
    # A real backup cut at ten points.
    local real="$OUT/hostile-real.xml"
    (cd "$OUT" && cli fix --backup "$(e2e_windows_path "$real")" >/dev/null 2>&1)
    if [ -s "$real" ]; then
        local size i
        size=$(stat -c %s "$real")
        for i in 1 2 3 4 5 6 7 8 9; do head -c $((size * i / 10)) "$real" >"$d/truncated-${i}0pct.xml"; done
        cli restore "$(e2e_windows_path "$real")" >/dev/null 2>&1
    fi
    local f rc ms msg bad=0 n=0 worst=0
    printf '      %-34s %5s %8s  %s\n' file exit ms message
    for f in "$d"/*; do
        read -r rc ms msg < <(restore_one "$f")
        n=$((n + 1))
        [ "$ms" -gt "$worst" ] && worst=$ms
        printf '      %-34s %5s %8s  %s\n' "$(basename "$f")" "$rc" "$ms" "${msg:0:70}"
        # 0: restored what it could read; 1: a clean failure. Anything else is a crash or a hang.
        case "$rc" in 0 | 1) ;; *) bad=$((bad + 1)) ;; esac
    done
    echo "      $n files, $bad crashed or hung, slowest $worst ms"
    verdict "hostile backup files: every restore ends cleanly (exit 0 or 1)" "$([ $bad = 0 ]; echo $?)"
}

# fixed_on_files GLOB: the names of the repository root's files that match GLOB, sorted, one a line.
fixed_on_files() {
    local f
    for f in "$(e2e_backup_dir)"/$1; do [ -e "$f" ] && printf '%s\n' "${f##*/}"; done | sort
}

# ---- broken-skins ------------------------------------------------------------------------------------

# make_skin CASE: a copy of the shipped skin under $OUT/skins/CASE/skin, broken in one way.
make_skin() {
    local case=$1 dir="$OUT/skins/$1/skin"
    rm -rf "$OUT/skins/$case"; mkdir -p "$OUT/skins/$case"
    cp -r "$ROOT/skin" "$dir"
    local ini="$dir/Skin.ini"
    case "$case" in
    no-skin-folder) rm -rf "$dir" ;;
    no-ini) rm -f "$ini" ;;
    empty-ini) : >"$ini" ;;
    binary-ini) head -c 65536 /dev/urandom >"$ini" ;;
    no-main-section) sed -i '/^\[MAINSCREENINFO\]/,/^$/d' "$ini" ;;
    no-screen-sections) sed -i '/^\[SCREEN/,/^$/d' "$ini" ;;
    no-button-sections) sed -i '/BUTTONINFO\]/,/^$/d' "$ini" ;;
    missing-images) rm -f "$dir"/*.gif ;;
    corrupt-images) for f in "$dir"/*.gif; do head -c 300 /dev/urandom >"$f"; done ;;
    truncated-images) for f in "$dir"/*.gif; do head -c 40 "$f" >"$f.cut" && mv "$f.cut" "$f"; done ;;
    absurd-rectangles)
        sed -i -E 's/^([0-9]+=BUTTON_[A-Z]+), *[0-9]+, *[0-9]+, *[0-9]+, *[0-9]+/\1, -99999, 2147483647, -5, 99999999/' "$ini"
        sed -i -E 's/(\.gif), *[0-9]+, *[0-9]+, *[0-9]+, *[0-9]+$/\1, 2147483647, -2147483648, 0, -1/' "$ini"
        sed -i -E 's/^DIMENSION=.*/DIMENSION=-1, -1, 99999999, 99999999/' "$ini" ;;
    huge-fields) "$PY" -c 'import sys; open(sys.argv[1], "a").write("[TEXTINFO]\n1=TEXT_X, " + "A" * 200000 + ", F, N, -11, 0, 1, 1, 1, 1, " + "B" * 200000 + "\n")' "$ini" ;;
    esac
}

drill_broken_skins() {
    echo "-- broken skins: orvalin.exe scan started on each, watched for 10 s"
    seeded_prefix "$SMALL" --scale 1 || return 1
    use "$SMALL"
    local case bad=0 state windows
    for case in no-skin-folder no-ini empty-ini binary-ini no-main-section no-screen-sections no-button-sections \
        missing-images corrupt-images truncated-images absurd-rectangles huge-fields; do
        make_skin "$case"
        (cd "$OUT/skins/$case" && WINEPREFIX="$SMALL" exec wine "$APP_EXE" scan) >"$OUT/skin-$case.log" 2>&1 &
        E2E_APP_PID=$!
        local i
        for i in $(seq 40); do e2e_app_running || break; sleep 0.25; done
        if e2e_app_running; then
            state=running
            windows=$(e2e_windows | grep -v '^Shell_TrayWnd\|^tooltips' | cut -d'|' -f1,2 | tr '\n' ' ')
            e2e_shot "$SHOTS/drill-skin-$case.png"
            e2e_stop_app
        else
            wait "$E2E_APP_PID"; state="ended, exit $?"; windows=
            E2E_APP_PID=
        fi
        # A crash shows in Wine's output (the debugger is disabled) or as an exception exit code.
        if grep -qi 'unhandled exception\|page fault\|stack overflow' "$OUT/skin-$case.log" ||
            [[ "$state" =~ exit\ (1[0-9][0-9]|2[0-9][0-9]) ]]; then
            bad=$((bad + 1)); state="$state CRASH"
        fi
        printf '      %-20s %-22s %s\n' "$case" "$state" "${windows:0:90}"
        stop_wineserver "$SMALL"; start_wineserver "$SMALL"
    done
    verdict "broken skins: the program never crashes ($bad crashes)" "$([ $bad = 0 ]; echo $?)"
}

# ---- scale-window ------------------------------------------------------------------------------------

# The worst answer time of the program's windows now, in ms ("hung" when one did not answer in 5 s).
ping_ms() {
    WINEPREFIX="$E2E_PREFIX_IN_USE" wine "$E2E_PROBE" ping 2>/dev/null | tr -d '\r' |
        grep -v '^Shell_TrayWnd\|^tooltips' | awk -F'|' '$4 == "hung" { h = 1 } $4 + 0 > m { m = $4 + 0 }
            END { if (h) print "hung"; else print m + 0 }'
}

drill_scale_window() {
    local units=${BENCH_UNITS:-1250}
    echo "-- a registry at scale in the window: the benchmark's make-up, $units units ($((units * 40)) COM classes, $((units * 20)) findings)"
    seeded_prefix "$SCALE" --scale "$units" || return 1
    use "$SCALE"
    local ok=0
    e2e_export "$SCALE" "$OUT/scale-before" || return 1

    # Scan, pinged while it runs; then Stop.
    e2e_start_app "$SCALE" scan || return 1
    e2e_wait_main_window 60 || { verdict "scale: main window" 1; return 1; }
    e2e_wait_screen ErrorScan 60 >/dev/null || { verdict "scale: scan screen" 1; e2e_stop_app; return 1; }
    local pings=() p i
    for i in 1 2 3 4 5 6; do p=$(ping_ms); pings+=("$p"); sleep 0.3; done
    e2e_shot "$SHOTS/drill-scale-scanning.png"
    local start stop_ms
    start=$(date +%s%N)
    e2e_click_screen_button SCREENERRORSCAN ErrorScan BUTTON_STOPSCAN
    # Stop ends the run: the scan dialog closes.
    if e2e_wait_no_screen 30; then
        stop_ms=$((($(date +%s%N) - start) / 1000000))
    else
        stop_ms=timeout; ok=1
    fi
    e2e_shot "$SHOTS/drill-scale-stopped.png"
    echo "      during the scan, worst answer of the windows (ms): ${pings[*]}"
    echo "      Stop clicked to the scan dialog gone: $stop_ms ms (with the 0.5 s of the click and a window-list poll)"
    for p in "${pings[@]}"; do [ "$p" = hung ] || [ "$p" -gt 1000 ] && ok=1; done
    [ "$stop_ms" = timeout ] || [ "$stop_ms" -gt 2500 ] && ok=1
    verdict "scale: the window answers within a second while scanning and Stop ends the scan at once" $ok

    # A whole scan, then Fix, pinged, killed part way.
    ok=0
    local before_files
    before_files=$(fixed_on_files 'FixedOn*')
    e2e_click_page_button SUBMAIN_MAIN BUTTON_SCAN
    local scan_start scan_ms
    scan_start=$(date +%s%N)
    e2e_wait_screen ScanComplete 600 >/dev/null || { verdict "scale: full scan in the window" 1; e2e_stop_app; return 1; }
    scan_ms=$((($(date +%s%N) - scan_start) / 1000000))
    e2e_shot "$SHOTS/drill-scale-results.png"
    echo "      full scan in the window: about $scan_ms ms"
    e2e_click_screen_button SCREENSCANCOMPLETE ScanComplete BUTTON_FIXERROR
    e2e_wait_screen ErrorFixing 60 >/dev/null || { verdict "scale: fixing screen" 1; e2e_stop_app; return 1; }
    # Wait for the backup to hold some hundreds of top-level entries, answer times measured meanwhile.
    local backup="" deadline=$((SECONDS + 120)) fix_pings=()
    while [ $SECONDS -lt $deadline ]; do
        backup=$(comm -13 <(echo "$before_files") <(fixed_on_files 'FixedOn*.xml') | head -1)
        [ -n "$backup" ] && [ "$(grep -c '<k name="HKEY_' "$(e2e_backup_dir)/$backup" 2>/dev/null)" -ge 200 ] && break
        fix_pings+=("$(ping_ms)")
        sleep 0.2
    done
    e2e_shot "$SHOTS/drill-scale-fixing.png"
    [ -n "$backup" ] || { verdict "scale: backup written during the fix" 1; e2e_stop_app; return 1; }
    kill -9 "$E2E_APP_PID"
    wait "$E2E_APP_PID" 2>/dev/null
    E2E_APP_PID=
    mv "$(e2e_backup_dir)/$backup" "$OUT/"
    local extra
    for extra in $(comm -13 <(echo "$before_files") <(fixed_on_files 'FixedOn*')); do mv "$(e2e_backup_dir)/$extra" "$OUT/"; done
    echo "      during the fix, worst answer of the windows (ms): ${fix_pings[*]:-none measured}"
    local entries
    entries=$(grep -c '<k name="HKEY_' "$OUT/$backup")
    e2e_export "$SCALE" "$OUT/scale-killed" || return 1
    "$PY" "$E2E_CHECK" same "$OUT/scale-before.hklm.reg,$OUT/scale-before.hkcu.reg" \
        "$OUT/scale-killed.hklm.reg,$OUT/scale-killed.hkcu.reg" | head -1 | sed 's/^/      killed: /'
    local rstart rms rc
    rstart=$(date +%s%N)
    (cd "$OUT" && cli restore "$backup") >"$OUT/scale-restore.out" 2>"$OUT/scale-restore.err"
    rc=$?
    rms=$((($(date +%s%N) - rstart) / 1000000))
    echo "      killed with $entries entries in the backup; orvalin-cli restore: exit $rc in $rms ms"
    e2e_export "$SCALE" "$OUT/scale-restored" || return 1
    "$PY" "$E2E_CHECK" same "$OUT/scale-before.hklm.reg,$OUT/scale-before.hkcu.reg" \
        "$OUT/scale-restored.hklm.reg,$OUT/scale-restored.hkcu.reg" | sed 's/^/      restored: /'
    local same=${PIPESTATUS[0]}
    for p in "${fix_pings[@]}"; do [ "$p" = hung ] || [ "$p" -gt 1000 ] && ok=1; done
    verdict "scale: the window answers within a second while fixing" $ok
    verdict "scale: fix killed part way, the partial backup restores the registry exactly" \
        "$([ $rc = 0 ] && [ "$same" = 0 ]; echo $?)"
    # The prefix is kept for the next run only when it is back as it was.
    [ "$same" = 0 ] || rm -rf "$SCALE"
}

# ---- run ---------------------------------------------------------------------------------------------

ensure_packages || exit 1
if [ -z "${E2E_NO_BUILD:-}" ]; then
    configure_and_build --target orvalin orvalin-cli orvalin-seed >/dev/null || exit 1
fi
e2e_build_helpers || exit 1
ensure_display || exit 1
mkdir -p "$OUT" "$SHOTS"
DRILLS=("$@")
[ ${#DRILLS[@]} -gt 0 ] || DRILLS=(no-backup hostile-backups broken-skins scale-window)
for drill in "${DRILLS[@]}"; do
    case "$drill" in
    no-backup) drill_no_backup || verdict "no-backup drill ran" 1 ;;
    hostile-backups) drill_hostile_backups || verdict "hostile-backups drill ran" 1 ;;
    broken-skins) drill_broken_skins || verdict "broken-skins drill ran" 1 ;;
    scale-window) drill_scale_window || verdict "scale-window drill ran" 1 ;;
    *) echo "tools/drills.sh: unknown drill '$drill'" >&2; exit 2 ;;
    esac
done
if [ "$FAILED" = 0 ]; then echo "drills: PASS"; else echo "drills: FAIL ($FAILED)"; fi
[ "$FAILED" = 0 ]
