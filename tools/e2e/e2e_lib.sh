# shellcheck shell=bash
# Helpers of tools/e2e.sh, tools/drills.sh and the bench modes that drive orvalin.exe. Source after tools/lib.sh.
# The program is driven only through X (xdotool); it is watched through screenshots compared with the skin's
# pictures and through window-probe.exe, which lists the visible windows of the Wine desktop.

APP_EXE="$BUILD_DIR/src/app/orvalin.exe"
# shellcheck disable=SC2034 # used by the scripts that source this file
CLI_EXE="$BUILD_DIR/src/cli/orvalin-cli.exe"
SKIN_DIR="$ROOT/skin"
E2E_TOOLS="$BUILD_DIR/e2e-tools"
E2E_PROBE="$E2E_TOOLS/window-probe.exe"
E2E_LINK_MAKER="$E2E_TOOLS/shortcut-baseline.exe"
E2E_CHECK="$ROOT/tools/e2e/e2e_check.py"
# Debian's python3 has PIL; a python3 of another installation earlier in PATH may not.
PY=/usr/bin/python3
[ -x "$PY" ] || PY=python3
# The window opens at 0,0 of the Wine desktop, which covers the top left of the X screen.
DESKTOP_W=1024 DESKTOP_H=768
E2E_APP_PID=
E2E_LAST_SHOT="$BUILD_DIR/.e2e-screen.png"

# The two small Windows helpers, compiled straight with the cross compiler (they are not part of the product).
e2e_build_helpers() {
    mkdir -p "$E2E_TOOLS"
    local cxx=x86_64-w64-mingw32-g++-posix
    if [ ! -f "$E2E_PROBE" ] || [ "$ROOT/tools/e2e/window_probe.cpp" -nt "$E2E_PROBE" ]; then
        $cxx -std=c++20 -O2 -static "$ROOT/tools/e2e/window_probe.cpp" -o "$E2E_PROBE" -luser32 || return 1
    fi
    if [ ! -f "$E2E_LINK_MAKER" ] || [ "$ROOT/tools/bench/shortcut_baseline.cpp" -nt "$E2E_LINK_MAKER" ]; then
        $cxx -std=c++20 -O2 -static "$ROOT/tools/bench/shortcut_baseline.cpp" -o "$E2E_LINK_MAKER" \
            -lole32 -luuid -lshell32 -ladvapi32 || return 1
    fi
}

e2e_wine() { local prefix=$1; shift; WINEPREFIX="$prefix" wine "$@"; }

# e2e_export PREFIX BASE: BASE.hklm.reg and BASE.hkcu.reg (HKCR is the merged view of both Classes keys).
e2e_export() {
    local prefix=$1 base=$2
    rm -f "$base.hklm.reg" "$base.hkcu.reg"
    e2e_wine "$prefix" regedit /E "$(e2e_windows_path "$base.hklm.reg")" HKEY_LOCAL_MACHINE >/dev/null 2>&1
    e2e_wine "$prefix" regedit /E "$(e2e_windows_path "$base.hkcu.reg")" HKEY_CURRENT_USER >/dev/null 2>&1
    [ -s "$base.hklm.reg" ] && [ -s "$base.hkcu.reg" ]
}

e2e_windows_path() { local p; p=$(realpath -m "$1"); echo "Z:${p//\//\\}"; }
e2e_unix_path() {
    local prefix=$1 path=$2
    local drive=${path:0:1} rest=${path:2}
    echo "$prefix/dosdevices/${drive,,}:${rest//\\//}"
}

# ---- the program -------------------------------------------------------------------------------------

# e2e_start_app PREFIX [ARGS...]: orvalin.exe from the repository root, as a user starts it.
e2e_start_app() {
    local prefix=$1; shift
    [ -x "$APP_EXE" ] || return 1
    (cd "$ROOT" && WINEPREFIX="$prefix" exec wine "$APP_EXE" "$@") >"$BUILD_DIR/e2e-app.log" 2>&1 &
    E2E_APP_PID=$!
    E2E_PREFIX_IN_USE=$prefix
}
e2e_app_running() { [ -n "$E2E_APP_PID" ] && kill -0 "$E2E_APP_PID" 2>/dev/null; }
e2e_wait_app_exit() {
    local deadline=$((SECONDS + $1))
    while e2e_app_running; do [ $SECONDS -lt $deadline ] || return 1; sleep 0.2; done
    wait "$E2E_APP_PID" 2>/dev/null
    E2E_APP_PID=
}
e2e_stop_app() {
    e2e_app_running || return 0
    kill "$E2E_APP_PID" 2>/dev/null
    wait "$E2E_APP_PID" 2>/dev/null
    E2E_APP_PID=
}

# Lines "class|title|left,top,width,height" of the visible windows.
e2e_windows() { WINEPREFIX="$E2E_PREFIX_IN_USE" wine "$E2E_PROBE" 2>/dev/null | tr -d '\r'; }
e2e_wait_window() { # PATTERN TIMEOUT (grep basic expression)
    local deadline=$((SECONDS + $2))
    until e2e_windows | grep -q "$1"; do [ $SECONDS -lt $deadline ] || return 1; sleep 0.2; done
}
e2e_wait_no_window() {
    local deadline=$((SECONDS + $2))
    while e2e_windows | grep -q "$1"; do [ $SECONDS -lt $deadline ] || return 1; sleep 0.2; done
}

# Message boxes and dialogs other than the main window and the Add Schedule dialog.
e2e_box_lines() { e2e_windows | grep '^#32770|' | grep -v "|$(e2e_main_rect)\$" | grep -v '^#32770|Add Schedule|'; }
e2e_wait_box() {
    local deadline=$((SECONDS + $1))
    until e2e_box_lines >/dev/null; do [ $SECONDS -lt $deadline ] || return 1; sleep 0.2; done
}
e2e_wait_no_box() {
    local deadline=$((SECONDS + $1))
    while e2e_box_lines >/dev/null; do [ $SECONDS -lt $deadline ] || return 1; sleep 0.2; done
}

# The main window: the popup of the main picture's size at the top left of the desktop, painted.
e2e_main_rect() {
    local size
    size=$(identify -format '%w,%h' "$SKIN_DIR/main_normal.gif[0]" 2>/dev/null)
    echo "0,0,${size:-720,470}"
}
e2e_wait_main_window() {
    e2e_wait_window "|$(e2e_main_rect)\$" "$1" || return 1
    # Painted once the first page button differs from the empty desktop beside the window.
    local x y w h deadline=$((SECONDS + $1))
    read -r x y w h < <(e2e_record MAINSCREENBUTTONINFO BUTTON_MAIN | sed -n 2,5p | tr '\n' ' ')
    while :; do
        e2e_shot "$BUILD_DIR/.e2e-probe.png"
        [ "$(e2e_pixel "$BUILD_DIR/.e2e-probe.png" $((x + 4)) $((y + 4)))" != \
            "$(e2e_pixel "$BUILD_DIR/.e2e-probe.png" 900 600)" ] && return 0
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.1
    done
}

# ---- pictures ----------------------------------------------------------------------------------------

e2e_shot() { import -window root -crop "${DESKTOP_W}x${DESKTOP_H}+0+0" +repage "$1" 2>/dev/null; }
e2e_pixel() { convert "$1" -format "%[pixel:p{$2,$3}]" info: 2>/dev/null; }

# The scan dialog screen on the desktop now (ErrorScan, ScanComplete, ErrorFixing, FixComplete or none).
e2e_screen() {
    e2e_shot "$E2E_LAST_SHOT" || { echo none; return; }
    "$PY" "$E2E_CHECK" screen "$E2E_LAST_SHOT" "$SKIN_DIR" | cut -d' ' -f1
}
# e2e_wait_screen "NAME|NAME" TIMEOUT: prints the screen that came.
e2e_wait_screen() {
    local deadline=$((SECONDS + $2)) now
    while :; do
        now=$(e2e_screen)
        if [[ "$now" =~ ^($1)$ ]]; then echo "$now"; return 0; fi
        [ $SECONDS -lt $deadline ] || { echo "timed out waiting for $1 (showing: $now)" >&2; return 1; }
        sleep 0.2
    done
}
# The scan dialog's window is gone.
e2e_wait_no_screen() {
    local x y w h
    read -r x y w h < <(e2e_record SCREENSCANCOMPLETEINFO ScanComplete | sed -n 6,9p | tr '\n' ' ')
    e2e_wait_no_window "|$x,$y,$w,$h\$" "$1"
}
e2e_crop_screen() { # SHOT SCREEN OUT
    local x y w h
    read -r x y w h < <(e2e_record "SCREEN${2^^}INFO" "$2" | sed -n 6,9p | tr '\n' ' ')
    [ -n "${h:-}" ] || read -r x y w h < <(e2e_record SCREENSCANCOMPLETEINFO ScanComplete | sed -n 6,9p | tr '\n' ' ')
    convert "$1" -crop "${w}x${h}+${x}+${y}" +repage "$3"
}

# ---- the skin's positions and clicks -----------------------------------------------------------------

# The fields of the first record named NAME in SECTION of the skin file, one per line.
e2e_record() {
    tr -d '\r' <"$SKIN_DIR/Skin.ini" | awk -v section="[$1]" -v name="$2" '
        /^\[/ { inside = ($0 == section); next }
        inside && index($0, "=") {
            value = substr($0, index($0, "=") + 1)
            n = split(value, f, / *, */)
            if (f[1] == name) { for (i = 1; i <= n; i++) print f[i]; exit }
        }'
}

# A click as a person makes it: move, let the button see the cursor, press, then move away.
e2e_click() {
    xdotool mousemove "$1" "$2"
    sleep 0.3
    xdotool click 1
    sleep 0.2
    xdotool mousemove $((DESKTOP_W - 60)) $((DESKTOP_H - 120))
}
e2e_click_main_button() {
    local b
    mapfile -t b < <(e2e_record MAINSCREENBUTTONINFO "$1")
    [ ${#b[@]} -ge 5 ] || { echo "no $1 in the skin" >&2; return 1; }
    e2e_click $((b[1] + b[3] / 2)) $((b[2] + b[4] / 2))
    sleep 0.5
}
e2e_click_page_button() { # PAGE BUTTON
    local p b
    mapfile -t p < <(e2e_record SUBMAINSCREENINFO "$1")
    mapfile -t b < <(e2e_record "${1}_BUTTONINFO" "$2")
    [ ${#p[@]} -ge 9 ] && [ ${#b[@]} -ge 5 ] || { echo "no $2 on $1 in the skin" >&2; return 1; }
    e2e_click $((p[5] + b[1] + b[3] / 2)) $((p[6] + b[2] + b[4] / 2))
}
e2e_click_screen_button() { # SECTION SCREEN BUTTON, e.g. SCREENSCANCOMPLETE ScanComplete BUTTON_FIXERROR
    local s b
    mapfile -t s < <(e2e_record "${1}INFO" "$2")
    mapfile -t b < <(e2e_record "${1}_BUTTONINFO" "$3")
    [ ${#s[@]} -ge 9 ] && [ ${#b[@]} -ge 5 ] || { echo "no $3 on $2 in the skin" >&2; return 1; }
    e2e_click $((s[5] + b[1] + b[3] / 2)) $((s[6] + b[2] + b[4] / 2))
}

# e2e_key_on_screen KEY SCREEN: presses KEY and waits until the scan dialog screen SCREEN shows it (its
# pixels change), so that the next key never goes out before the window took this one.
e2e_key_on_screen() {
    local x y w h area before="$BUILD_DIR/.e2e-key-before.png" deadline=$((SECONDS + 15)) changed
    read -r x y w h < <(e2e_record "SCREEN${2^^}INFO" "$2" | sed -n 6,9p | tr '\n' ' ')
    [ -n "${h:-}" ] || return 1
    area="[${w}x${h}+${x}+${y}]"
    e2e_shot "$before"
    xdotool key "$1"
    while :; do
        e2e_shot "$E2E_LAST_SHOT"
        changed=$(compare -metric AE "$before$area" "$E2E_LAST_SHOT$area" null: 2>&1)
        [ "${changed%%.*}" -gt 0 ] 2>/dev/null && return 0
        [ $SECONDS -lt $deadline ] || { echo "      $1: the screen did not change" >&2; return 1; }
        sleep 0.1
    done
}

# The notification-area menu: a right click on the icon at the right end of the Wine taskbar.
e2e_tray_menu() {
    local _
    for _ in 1 2 3; do
        xdotool mousemove $((DESKTOP_W - 11)) $((DESKTOP_H - 11))
        sleep 0.3
        xdotool click 3
        e2e_wait_window '^#32768|' 5 && { sleep 0.3; return 0; }
    done
    return 1
}

# ---- backup files of the window: %LOCALAPPDATA%\Orvalin\Backups of the prefix's user ---------------------

e2e_backup_dir() { echo "$E2E_PREFIX_IN_USE/drive_c/users/$(id -un)/AppData/Local/Orvalin/Backups"; }
e2e_snapshot_backups() { E2E_BACKUPS_BEFORE=$(ls -1 "$(e2e_backup_dir)" 2>/dev/null); E2E_SNAPSHOT=1; }
e2e_new_backups() {
    comm -13 <(sort <<<"${E2E_BACKUPS_BEFORE:-}") <(ls -1 "$(e2e_backup_dir)" 2>/dev/null | sort) | grep '^FixedOn'
}
# Copies the backups this run wrote into OUT (the prefix is made afresh by the next run).
e2e_keep_backups() {
    [ -n "${E2E_SNAPSHOT:-}" ] || return 0
    mkdir -p "$1"
    local f
    while IFS= read -r f; do [ -n "$f" ] && cp -r "$(e2e_backup_dir)/$f" "$1/"; done < <(e2e_new_backups)
}
