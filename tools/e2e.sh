#!/usr/bin/env bash
# End to end as a user: orvalin.exe started from the repository root on a seeded prefix and driven only
# with real X input (xdotool) at the positions skin/Skin.ini gives. Scan, read the results, Fix, close;
# the registry exports before and after prove every finding gone and nothing else touched, and the backup
# file holds exactly what went; Restore through the main page's open-file dialog gives the registry back;
# the review unticks two findings and repairs the others, and its Ignore and the console's ignore commands
# hide a finding by its id; a schedule is added through the Add Schedule dialog; the tray menu's Run; a
# second start of the program while it runs; the tray menu's Close. Prints PASS or FAIL and the seconds
# per step, pictures of every step go to $BUILD_DIR/screenshots/e2e-*.png; exits non-zero when a step failed.
#
#   tools/e2e.sh          (tools/test.sh runs it after ctest; it uses DISPLAY when set, else its own Xvfb)
#   E2E_NO_BUILD=1        drives the programs already built
#
# Its own prefix $BUILD_DIR/e2e-prefix is made afresh each run. The window program writes its backup into
# the prefix's %LOCALAPPDATA%\Orvalin\Backups; the script copies it to $BUILD_DIR/e2e-out when done.
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
. "$ROOT/tools/seed/prefix.sh"
. "$ROOT/tools/e2e/e2e_lib.sh"
. "$ROOT/tools/e2e/package_steps.sh"

PREFIX="$BUILD_DIR/e2e-prefix"
OUT="$BUILD_DIR/e2e-out"
SHOTS="$BUILD_DIR/screenshots"
FAILED=0
# shellcheck disable=SC2034 # read by the e2e_lib.sh functions
E2E_PREFIX_IN_USE=$PREFIX
REVIEW_BACKUPS_BEFORE=

step() { # step NAME COMMAND...: runs the check and prints its verdict and its seconds
    local name=$1 start=$SECONDS; shift
    if "$@"; then
        echo "PASS  $name ($((SECONDS - start)) s)"
    else
        echo "FAIL  $name ($((SECONDS - start)) s)"
        FAILED=$((FAILED + 1))
        return 1
    fi
}
skip() { echo "SKIP  $1 (an earlier step failed)"; FAILED=$((FAILED + 1)); }

cleanup() {
    e2e_stop_app
    stop_wineserver "$PREFIX"
    stop_wineserver "$PKG_PREFIX"
    stop_wineserver "$DPI_PREFIX"
    # shellcheck disable=SC2034 # read by e2e_keep_backups
    E2E_PREFIX_IN_USE=$PREFIX
    e2e_keep_backups "$OUT"
    stop_xvfb
}
trap cleanup EXIT

# ---- the prefix --------------------------------------------------------------------------------------

prepare() {
    ensure_packages || return 1
    if [ -z "${E2E_NO_BUILD:-}" ]; then
        configure_and_build --target orvalin orvalin-cli orvalin-seed >/dev/null || return 1
    fi
    e2e_build_helpers || return 1
    rm -rf "$PREFIX" "$OUT"
    mkdir -p "$OUT" "$SHOTS"
    seeded_prefix "$PREFIX" --scale 1 || return 1
    start_wineserver "$PREFIX"
    # Shortcuts on the fixed test drive S:, every fifth one pointing at a file that does not exist.
    e2e_wine "$PREFIX" "$E2E_LINK_MAKER" make-tree 'S:\e2e' 5 10 >/dev/null
}

# ---- steps -------------------------------------------------------------------------------------------

# The demo's shortcuts go to the Start menu and the desktop, where Wine's menu builder would copy them into
# the Linux user's menus; seeded under an empty home folder, the folder must stay empty.
home_untouched() {
    local home="$BUILD_DIR/home-check" prefix="$BUILD_DIR/home-check-prefix" left
    rm -rf "$home" "$prefix"
    mkdir -p "$home"
    HOME=$home seeded_prefix "$prefix" --shortcuts >/dev/null 2>&1 || return 1
    left=$(find "$home" -mindepth 1 | sed "s|^$home/||")
    rm -rf "$prefix"
    [ -z "$left" ] || { sed 's/^/      written to the home folder: /' <<<"$left" | head -5; return 1; }
    echo "      demo shortcuts seeded; the home folder gained nothing"
}

scan_with_console() {
    e2e_wine "$PREFIX" "$CLI_EXE" scan --json >"$OUT/findings.json" 2>"$OUT/findings.err" || return 1
    read -r REG_FINDINGS LINK_FINDINGS < <("$PY" "$E2E_CHECK" count "$OUT/findings.json")
    echo "      orvalin-cli scan --json: $REG_FINDINGS registry findings, $LINK_FINDINGS missing shortcuts"
    [ "${REG_FINDINGS:-0}" -gt 0 ] && [ "${LINK_FINDINGS:-0}" -gt 0 ]
}

scan_window() {
    e2e_start_app "$PREFIX" scan || return 1
    e2e_wait_main_window 60 || return 1
    e2e_shot "$SHOTS/e2e-01-started.png"
    # The scan of a small prefix takes a second or two: the progress screen may be gone before a picture.
    local seen
    seen=$(e2e_wait_screen "ErrorScan|ScanComplete" 60) || return 1
    cp "$E2E_LAST_SHOT" "$SHOTS/e2e-02-scanning.png"
    echo "      first screen seen: $seen"
}

results_screen() {
    e2e_wait_screen ScanComplete 120 >/dev/null || return 1
    sleep 0.5 # the list fills in after the screen is shown
    e2e_shot "$SHOTS/e2e-03-results.png"
    e2e_crop_screen "$SHOTS/e2e-03-results.png" ScanComplete "$SHOTS/e2e-results-screen.png"
}

press_fix() {
    e2e_click_screen_button SCREENSCANCOMPLETE ScanComplete BUTTON_FIXERROR || return 1
    local seen
    seen=$(e2e_wait_screen "ErrorFixing|FixComplete" 60) || return 1
    cp "$E2E_LAST_SHOT" "$SHOTS/e2e-04-fixing.png"
    e2e_wait_screen FixComplete 120 >/dev/null || return 1
    sleep 0.5
    e2e_shot "$SHOTS/e2e-05-fixed.png"
}

close_results() {
    e2e_click_screen_button SCREENFIXCOMPLETE FixComplete BUTTON_OK || return 1
    e2e_wait_no_screen 30 || return 1
    e2e_shot "$SHOTS/e2e-06-closed.png"
}

registry_after_fix() {
    e2e_export "$PREFIX" "$OUT/after-fix" || return 1
    "$PY" "$E2E_CHECK" fix-diff "$OUT/before.hklm.reg,$OUT/before.hkcu.reg" \
        "$OUT/after-fix.hklm.reg,$OUT/after-fix.hkcu.reg" "$OUT/findings.json" | sed 's/^/      /'
    [ "${PIPESTATUS[0]}" = 0 ]
}

shortcuts_after_fix() {
    local gone=0 path unix
    while IFS= read -r path; do
        unix=$(e2e_unix_path "$PREFIX" "$path")
        [ -e "$unix" ] || gone=$((gone + 1))
    done < <("$PY" -c 'import json,sys; print("\n".join(json.load(open(sys.argv[1]))["shortcuts"]["missing"]))' \
        "$OUT/findings.json")
    local left
    left=$(find "$PREFIX/orvalin-drives/fixed/e2e" -name '*.lnk' | wc -l)
    echo "      $gone of $LINK_FINDINGS broken shortcuts removed; $left shortcuts left on S:\\e2e"
    [ "$gone" = "$LINK_FINDINGS" ] && [ "$left" = $((10 - LINK_FINDINGS)) ]
}

backup_written() {
    BACKUP=$(e2e_new_backups | grep -i '\.xml$' | head -1)
    [ -n "$BACKUP" ] && [ -s "$(e2e_backup_dir)/$BACKUP" ] || return 1
    echo "      backup file: $BACKUP ($(stat -c %s "$(e2e_backup_dir)/$BACKUP") bytes) in %LOCALAPPDATA%\\Orvalin\\Backups"
    backup_holds_removed "$OUT/after-fix" "$BACKUP"
}

# backup_holds_removed EXPORT BACKUP: the backup's keys and values are exactly those the fix removed.
backup_holds_removed() {
    "$PY" "$E2E_CHECK" backup-diff "$OUT/before.hklm.reg,$OUT/before.hkcu.reg" "$1.hklm.reg,$1.hkcu.reg" \
        "$(e2e_backup_dir)/$2" | sed 's/^/      /'
    [ "${PIPESTATUS[0]}" = 0 ]
}

restore_from_page() {
    e2e_click_main_button BUTTON_MAIN || return 1
    e2e_click_page_button SUBMAIN_MAIN BUTTON_RESTORE || return 1
    e2e_wait_window '^#32770|Open|' 30 || return 1
    sleep 0.5
    e2e_shot "$SHOTS/e2e-07-open-file.png"
    # The dialog opens in the backup folder: the file's name alone is enough.
    xdotool type --delay 20 "$BACKUP"
    xdotool key Return
    e2e_wait_window '^#32770|Registry Restoration|' 60 || return 1
    sleep 0.3
    e2e_shot "$SHOTS/e2e-08-restored.png"
    xdotool key Return
    e2e_wait_no_box 15
}

registry_after_restore() {
    e2e_export "$PREFIX" "$OUT/after-restore" || return 1
    "$PY" "$E2E_CHECK" same "$OUT/before.hklm.reg,$OUT/before.hkcu.reg" \
        "$OUT/after-restore.hklm.reg,$OUT/after-restore.hkcu.reg" | sed 's/^/      /'
    [ "${PIPESTATUS[0]}" = 0 ] || return 1
    local left
    left=$(find "$PREFIX/orvalin-drives/fixed/e2e" -name '*.lnk' | wc -l)
    echo "      $left shortcuts on S:\\e2e after the restore"
    [ "$left" = 10 ]
}

# A scan from the main page's Scan button, then the results' Review.
scan_and_review() {
    e2e_click_main_button BUTTON_MAIN || return 1
    e2e_click_page_button SUBMAIN_MAIN BUTTON_SCAN || return 1
    e2e_wait_screen ScanComplete 120 >/dev/null || return 1
    sleep 0.5 # the list fills in after the screen is shown
    e2e_click_screen_button SCREENSCANCOMPLETE ScanComplete BUTTON_REVIEW || return 1
    e2e_wait_screen Review 30 >/dev/null || return 1
    sleep 0.5
}

# The review on the restored registry: its first two rows unticked with the keyboard (the list has the focus
# on its first row when it opens), Repair selected.
review_repair_selected() {
    REVIEW_BACKUPS_BEFORE=$(e2e_new_backups)
    scan_and_review || return 1
    e2e_shot "$SHOTS/e2e-review-opened.png"
    e2e_key_on_screen space Review && e2e_key_on_screen Down Review && e2e_key_on_screen space Review || return 1
    e2e_shot "$SHOTS/e2e-review-two-unticked.png"
    local changed
    changed=$(compare -metric AE "$SHOTS/e2e-review-opened.png" "$SHOTS/e2e-review-two-unticked.png" null: 2>&1)
    echo "      two rows unticked: ${changed%%.*} pixels of the screen changed"
    e2e_click_screen_button SCREENREVIEW Review BUTTON_REVIEW_REPAIR || return 1
    e2e_wait_screen FixComplete 120 >/dev/null || return 1
    sleep 0.5
    e2e_shot "$SHOTS/e2e-review-fixed.png"
    e2e_click_screen_button SCREENFIXCOMPLETE FixComplete BUTTON_OK || return 1
    e2e_wait_no_screen 30
}

registry_after_review() {
    e2e_export "$PREFIX" "$OUT/after-review" || return 1
    "$PY" "$E2E_CHECK" fix-diff "$OUT/before.hklm.reg,$OUT/before.hkcu.reg" \
        "$OUT/after-review.hklm.reg,$OUT/after-review.hkcu.reg" "$OUT/findings.json" 0,1 | sed 's/^/      /'
    [ "${PIPESTATUS[0]}" = 0 ]
}

backup_after_review() {
    local backup
    backup=$(comm -13 <(sort <<<"$REVIEW_BACKUPS_BEFORE") <(e2e_new_backups | sort) | grep -i '\.xml$' | head -1)
    [ -n "$backup" ] || return 1
    echo "      backup file: $backup"
    backup_holds_removed "$OUT/after-review" "$backup"
}

# scan_ids NAME: orvalin-cli scan --json into $OUT/NAME.json, its "id category key value" lines into NAME.ids.
scan_ids() {
    e2e_wine "$PREFIX" "$CLI_EXE" scan --json >"$OUT/$1.json" 2>/dev/null
    [ $? -le 1 ] || return 1
    "$PY" "$E2E_CHECK" ids "$OUT/$1.json" >"$OUT/$1.ids"
}

# Each console run is a new start of the program: the two findings the review kept carry the ids they had
# in the first scan (before a fix, a restore and the window's scans); one of them on the ignore list is not
# found, taken off it is found again, and every id is as before. The one ignored is the second, a ProgID:
# with its class ignored instead, the ProgID would be no finding either (its class stays).
ignore_and_ids() {
    "$PY" "$E2E_CHECK" ids "$OUT/findings.json" >"$OUT/findings.ids" || return 1
    head -2 "$OUT/findings.ids" >"$OUT/kept.ids"
    local class progid
    class=$(sed -n 1p "$OUT/kept.ids" | cut -d' ' -f1)
    progid=$(sed -n 2p "$OUT/kept.ids" | cut -d' ' -f1)
    scan_ids rescan-1 || return 1
    local missing
    missing=$(comm -23 <(sort "$OUT/kept.ids") <(sort "$OUT/rescan-1.ids"))
    [ -z "$missing" ] || { sed 's/^/      not found with the same id: /' <<<"$missing"; return 1; }
    e2e_wine "$PREFIX" "$CLI_EXE" ignore add "$progid" >/dev/null 2>&1 || return 1
    e2e_wine "$PREFIX" "$CLI_EXE" ignore list 2>/dev/null | grep -q "^$progid " || return 1
    scan_ids rescan-ignored || return 1
    local ignored
    ignored=$("$PY" -c 'import json,sys; print(json.load(open(sys.argv[1]))["ignored"])' \
        "$OUT/rescan-ignored.json")
    echo "      $progid on the ignore list: $(wc -l <"$OUT/rescan-ignored.ids") findings, $ignored ignored"
    ! grep -q "^$progid " "$OUT/rescan-ignored.ids" && grep -q "^$class " "$OUT/rescan-ignored.ids" &&
        [ "$ignored" = 1 ] || return 1
    e2e_wine "$PREFIX" "$CLI_EXE" ignore remove "$progid" >/dev/null 2>&1 || return 1
    scan_ids rescan-2 || return 1
    echo "      taken off it: $(wc -l <"$OUT/rescan-2.ids") findings, the same ids as the scan before: \
$(cmp -s "$OUT/rescan-1.ids" "$OUT/rescan-2.ids" && echo yes || echo no)"
    cmp -s "$OUT/rescan-1.ids" "$OUT/rescan-2.ids"
}

# The window's Ignore: Select none, the first row (the class the review kept) ticked with Space, Ignore; the
# ignore list then holds that class alone. Taken off it with the console tool, the findings are as before.
ignore_in_window() {
    local class
    class=$(sed -n 1p "$OUT/kept.ids" | cut -d' ' -f1)
    [ -n "$class" ] || return 1
    scan_and_review || return 1
    e2e_click_screen_button SCREENREVIEW Review BUTTON_REVIEW_NONE || return 1
    # The click leaves the focus on the button: a click on the first row's text gives it back to the list.
    local screen list
    mapfile -t screen < <(e2e_record SCREENREVIEWINFO Review)
    IFS=', ' read -r -a list < <(tr -d '\r' <"$SKIN_DIR/Skin.ini" |
        awk '/^\[/ { inside = ($0 == "[SCREENREVIEW_LISTINFO]") } inside && /^1=/ { print substr($0, 3); exit }')
    [ ${#screen[@]} -ge 9 ] && [ ${#list[@]} -ge 4 ] || return 1
    # Below the column titles (about 17 pixels under Wine's default font), inside the first row.
    e2e_click $((screen[5] + list[0] + list[2] / 2)) $((screen[6] + list[1] + 24))
    e2e_key_on_screen space Review || return 1
    e2e_click_screen_button SCREENREVIEW Review BUTTON_REVIEW_IGNORE || return 1
    sleep 0.5
    e2e_shot "$SHOTS/e2e-review-ignored.png"
    e2e_click_screen_button SCREENREVIEW Review BUTTON_REVIEW_BACK || return 1
    e2e_wait_screen ScanComplete 30 >/dev/null || return 1
    e2e_click_screen_button SCREENSCANCOMPLETE ScanComplete BUTTON_OK || return 1
    e2e_wait_no_screen 30 || return 1
    e2e_wine "$PREFIX" "$CLI_EXE" ignore list 2>/dev/null | tr -d '\r' >"$OUT/ignore-list.txt"
    sed 's/^/      ignore list: /' "$OUT/ignore-list.txt"
    grep -q "^$class " "$OUT/ignore-list.txt" && grep -qx 'Ignored entries: 1' "$OUT/ignore-list.txt" || return 1
    e2e_wine "$PREFIX" "$CLI_EXE" ignore remove "$class" >/dev/null 2>&1 || return 1
    scan_ids rescan-3 || return 1
    cmp -s "$OUT/rescan-2.ids" "$OUT/rescan-3.ids"
}

add_schedule() {
    local before after
    before=$(e2e_wine "$PREFIX" "$CLI_EXE" schedule list 2>/dev/null | grep -c '^ *[0-9]')
    e2e_click_main_button BUTTON_SCHEDULE || return 1
    e2e_click_page_button SUBMAIN_SCHEDULE BUTTON_ADDSCHEDULE || return 1
    e2e_wait_window '^#32770|Add Schedule|' 30 || return 1
    sleep 0.5
    e2e_shot "$SHOTS/e2e-09-add-schedule.png"
    xdotool key Return # OK with the dialog's opening values
    e2e_wait_box 30 || return 1 # the outcome message, over the dialog
    sleep 0.3
    e2e_shot "$SHOTS/e2e-10-schedule-added.png"
    e2e_box_lines | sed 's/^/      message box: /'
    xdotool key Return
    e2e_wait_no_window '^#32770|Add Schedule|' 30 || return 1
    e2e_wait_no_box 15 || return 1
    sleep 0.5
    e2e_shot "$SHOTS/e2e-11-schedule-page.png"
    after=$(e2e_wine "$PREFIX" "$CLI_EXE" schedule list 2>/dev/null | grep -c '^ *[0-9]')
    echo "      scheduled scans: $before before, $after after"
    [ "$after" -gt "$before" ]
}

tray_run() {
    e2e_tray_menu || return 1
    e2e_shot "$SHOTS/e2e-12-tray-menu.png"
    # Show, (separator), Orvalin > Run
    xdotool key Down Down Right
    sleep 0.4
    e2e_shot "$SHOTS/e2e-13-tray-run.png"
    xdotool key Return
    e2e_wait_screen "ErrorScan|ScanComplete" 60 >/dev/null || return 1
    e2e_wait_screen ScanComplete 120 >/dev/null || return 1
    sleep 0.5
    e2e_shot "$SHOTS/e2e-14-tray-run-results.png"
    e2e_click_screen_button SCREENSCANCOMPLETE ScanComplete BUTTON_OK || return 1
    e2e_wait_no_screen 30
}

# One copy per user, with real processes: a second start while the window is hidden in the notification
# area ends at once and brings the window forward; a third with "scan" makes the first copy scan.
second_start() { # ARGS...: starts orvalin.exe once more and waits for it to end; prints its seconds
    local start=$SECONDS pid
    (cd "$ROOT" && WINEPREFIX="$PREFIX" exec wine "$APP_EXE" "$@") >>"$BUILD_DIR/e2e-app2.log" 2>&1 &
    pid=$!
    while kill -0 "$pid" 2>/dev/null; do
        [ $((SECONDS - start)) -lt 30 ] || { kill "$pid"; return 1; }
        sleep 0.1
    done
    wait "$pid" || return 1
    echo $((SECONDS - start))
}

single_copy() {
    local rect seconds
    rect=$(e2e_main_rect)
    e2e_click_main_button BUTTON_MINIMIZE || return 1
    e2e_wait_no_window "|$rect\$" 15 || return 1
    seconds=$(second_start) || return 1
    e2e_wait_main_window 30 || return 1
    e2e_shot "$SHOTS/e2e-single-forward.png"
    local foreground="" copies deadline=$((SECONDS + 10))
    until [[ "$foreground" == *"|$rect" ]] || [ $SECONDS -ge $deadline ]; do
        sleep 0.2
        foreground=$(WINEPREFIX="$PREFIX" wine "$E2E_PROBE" foreground 2>/dev/null | tr -d '\r')
    done
    copies=$(e2e_windows | grep -c "|$rect\$")
    echo "      second start ended after ${seconds}s; main windows: $copies; foreground: $foreground"
    [ "$copies" = 1 ] && [[ "$foreground" == *"|$rect" ]] && e2e_app_running || return 1
    seconds=$(second_start scan) || return 1
    e2e_wait_screen "ErrorScan|ScanComplete" 60 >/dev/null || return 1
    e2e_wait_screen ScanComplete 120 >/dev/null || return 1
    sleep 0.5
    e2e_shot "$SHOTS/e2e-single-scan.png"
    echo "      start with scan ended after ${seconds}s; the first copy scanned"
    e2e_click_screen_button SCREENSCANCOMPLETE ScanComplete BUTTON_OK || return 1
    e2e_wait_no_screen 30 && e2e_app_running
}

tray_close() {
    e2e_tray_menu || return 1
    # The last entry, clicked with the mouse: the menu's rectangle comes from the window list.
    local menu left top width height
    menu=$(e2e_windows | grep '^#32768|' | head -1)
    IFS=, read -r left top width height <<<"${menu##*|}"
    [ -n "${height:-}" ] || return 1
    xdotool mousemove $((left + width / 2)) $((top + height - 10))
    sleep 0.4
    e2e_shot "$SHOTS/e2e-15-tray-close.png"
    xdotool click 1
    e2e_wait_app_exit 30 || { e2e_windows | sed 's/^/      still up: /'; return 1; }
    e2e_shot "$SHOTS/e2e-16-closed.png"
}

# At 150 % (LogPixels 144) in a prefix of its own: the skin's pictures stay at their pixels and a click at a
# button's skin position still reaches it.
DPI_PREFIX="$BUILD_DIR/dpi-prefix"
dpi_144() {
    rm -rf "$DPI_PREFIX"
    make_prefix "$DPI_PREFIX" >/dev/null 2>&1 || return 1
    wreg "$DPI_PREFIX" add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f
    stop_wineserver "$DPI_PREFIX"
    start_wineserver "$DPI_PREFIX"
    e2e_start_app "$DPI_PREFIX" || return 1
    e2e_wait_main_window 60 || return 1
    sleep 1
    e2e_shot "$SHOTS/dpi-144-main.png"
    "$PY" "$E2E_CHECK" main "$SHOTS/dpi-144-main.png" "$SKIN_DIR" | sed 's/^/      /'
    [ "${PIPESTATUS[0]}" = 0 ] || return 1
    e2e_click_main_button BUTTON_SCHEDULE || return 1
    sleep 1
    e2e_shot "$SHOTS/dpi-144-schedule.png"
    local changed
    changed=$(compare -metric AE "$SHOTS/dpi-144-main.png" "$SHOTS/dpi-144-schedule.png" null: 2>&1)
    echo "      the Schedule button clicked at its skin position: ${changed%%.*} pixels of the page changed"
    e2e_stop_app
    [ "${changed%%.*}" -gt 5000 ] 2>/dev/null
}

# ---- run -------------------------------------------------------------------------------------------

ensure_display || { echo "FAIL  display"; exit 1; }
if ! step "prepare the prefix (seeded, shortcuts on S:)" prepare; then exit 1; fi
step "seeding the demo's shortcuts writes nothing outside the prefix" home_untouched
step "registry exported before the fix" e2e_export "$PREFIX" "$OUT/before" &&
    step "orvalin-cli scan --json lists registry findings and missing shortcuts" scan_with_console || exit 1
e2e_snapshot_backups
if step "orvalin.exe scan: main window and scan screen" scan_window &&
    step "results screen" results_screen &&
    step "Fix: fixing screen and fix-complete screen" press_fix &&
    step "Close the fix-complete screen" close_results; then
    step "registry: every finding gone, nothing else touched" registry_after_fix
    step "shortcut files: every broken one gone, the others kept" shortcuts_after_fix
    if step "backup file in the user's local application data" backup_written; then
        step "Restore through the open-file dialog" restore_from_page &&
            step "registry and shortcuts equal their state before the fix" registry_after_restore &&
            if step "Review: the first two findings unticked with the keyboard, Repair selected" \
                review_repair_selected; then
                step "registry: the two unticked findings kept, every other one gone, nothing else touched" \
                    registry_after_review
                step "the backup of Repair selected holds exactly what it removed" backup_after_review
                step "ids the same across scans and starts; ignore add hides one, ignore remove brings it back" \
                    ignore_and_ids &&
                    step "the window's Ignore puts the ticked finding on the ignore list" ignore_in_window
            fi
    else
        skip "Restore through the open-file dialog"
    fi
    step "Add Schedule dialog adds a schedule" add_schedule
    step "tray menu Run: a scan through the window" tray_run
    step "a second start brings the hidden window forward and ends; one with scan makes the first scan" single_copy
    step "tray menu Close ends the program" tray_close
else
    skip "the rest of the window steps"
fi

# The packages, in a prefix of their own.
if step "tools/package.sh builds the .msi and the .zip" package_build &&
    step "msiexec /i /qn installs an older version into Program Files with a Start-menu entry" package_install &&
    step "this version over the older: the older removed, one entry in the list of programs" package_upgrade; then
    step "started from its Start-menu entry in an empty folder, the window shows its skin" package_start_from_menu
    step "the installed orvalin-cli scan --json works" package_cli_scan
    step "msiexec /x /qn leaves nothing but the user's backups" package_uninstall
else
    skip "the installed program"
fi

step "at 150 % (LogPixels 144) the skin's pictures and hit areas line up" dpi_144

echo "screenshots: $SHOTS/e2e-*.png $SHOTS/package-*.png $SHOTS/dpi-144-*.png"
if [ "$FAILED" = 0 ]; then echo "e2e: PASS"; else echo "e2e: FAIL ($FAILED steps)"; fi
[ "$FAILED" = 0 ]
