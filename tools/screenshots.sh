#!/usr/bin/env bash
# Captures every page of the main window into $BUILD_DIR/screenshots (build/screenshots by default):
# main-main.png, main-schedule.png, main-liveupdate.png, main-support.png, the About box (about.png), and
# the whole desktop with the first page (desktop.png) and with the notification-area menu (tray-menu.png),
# the scan dialog's results (scan-results.png) after a scan of the prefix and its review screen (review.png), and the Add Schedule dialog
# (add-schedule.png) and the schedule page with the schedule it added (main-schedule-list.png). orvalin.exe runs from the repository root, so it reads skin\Skin.ini, on a
# private Xvfb; xdotool clicks its page buttons as a user would. Prints the paths of the pictures.
#
#   tools/screenshots.sh [PREFIX]     PREFIX: a Wine prefix to run in (default: $BUILD_DIR/screens-prefix)
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

SHOT_DIR=${SCREENSHOT_DIR:-$BUILD_DIR/screenshots}
APP_EXE="$BUILD_DIR/src/app/orvalin.exe"
SKIN_INI="$ROOT/skin/Skin.ini"

# The fields of the first record named NAME in SECTION of the skin file, one per line.
skin_record() {
    tr -d '\r' <"$SKIN_INI" | awk -v section="[$1]" -v name="$2" '
        /^\[/ { inside = ($0 == section); next }
        inside && index($0, "=") {
            value = substr($0, index($0, "=") + 1)
            n = split(value, f, / *, */)
            if (f[1] == name) { for (i = 1; i <= n; i++) print f[i]; exit }
        }'
}

# x y width height of a main-screen button, from the skin file.
button_rect() {
    skin_record MAINSCREENBUTTONINFO "$1" | sed -n 2,5p | tr '\n' ' '
}

# The colour of one pixel of a picture.
pixel() { convert "$1" -format "%[pixel:p{$2,$3}]" info: 2>/dev/null; }

# Clicks the centre of a main-screen button, then parks the mouse away from the window.
click_button() {
    local x y w h
    read -r x y w h < <(button_rect "$1")
    [ -n "${h:-}" ] || { log "no button $1 in the skin"; return 1; }
    xdotool mousemove $((ORIGIN_X + x + w / 2)) $((ORIGIN_Y + y + h / 2)) click 1
    sleep 0.3
    xdotool mousemove $((ORIGIN_X + 900)) $((ORIGIN_Y + 600))
    sleep 0.7
}

# Saves the main window's rectangle of the screen as $SHOT_DIR/$1.png and prints the path.
capture() {
    local full="$SHOT_DIR/.full.png" out="$SHOT_DIR/$1.png"
    import -window root "$full" || return 1
    convert "$full" -crop "${WINDOW_W}x${WINDOW_H}+${ORIGIN_X}+${ORIGIN_Y}" +repage "$out" || return 1
    rm -f "$full"
    echo "$out"
}

# The notification-area menu (right click on the icon at the right end of the Wine taskbar) and the About
# box (Alt+Space opens the system menu, whose last entry is About).
capture_menus() {
    local full="$SHOT_DIR/tray-menu.png"
    xdotool mousemove $((ORIGIN_X + DESKTOP_W - 11)) $((ORIGIN_Y + DESKTOP_H - 11)) click 3
    sleep 1
    import -window root -crop "${DESKTOP_W}x${DESKTOP_H}+${ORIGIN_X}+${ORIGIN_Y}" +repage "$full" && echo "$full"
    xdotool key Escape
    sleep 0.5
    local x y w h
    read -r x y w h < <(button_rect BUTTON_MAIN)
    xdotool mousemove $((ORIGIN_X + x + w / 2)) $((ORIGIN_Y + 20)) click 1 # activates the window
    sleep 0.3
    xdotool key alt+space
    sleep 0.7
    xdotool key Up Return
    sleep 1
    capture about || return 1
    xdotool key Return # OK
    sleep 0.5
}

# The scan dialog, opened by the main page's scan button: its results screen once the scan has ended,
# then closed with its Close button (BUTTON_OK).
capture_scan() {
    local page
    mapfile -t page < <(skin_record SUBMAINSCREENINFO SUBMAIN_MAIN)
    local scan
    mapfile -t scan < <(skin_record SUBMAIN_MAIN_BUTTONINFO BUTTON_SCAN)
    local screen
    mapfile -t screen < <(skin_record SCREENSCANCOMPLETEINFO ScanComplete)
    local close
    mapfile -t close < <(skin_record SCREENSCANCOMPLETE_BUTTONINFO BUTTON_OK)
    [ ${#page[@]} -ge 9 ] && [ ${#scan[@]} -ge 5 ] && [ ${#screen[@]} -ge 9 ] && [ ${#close[@]} -ge 5 ] || {
        log "the skin lacks the scan button or the results screen"
        return 1
    }
    xdotool mousemove $((ORIGIN_X + page[5] + scan[1] + scan[3] / 2)) $((ORIGIN_Y + page[6] + scan[2] + scan[4] / 2)) click 1
    sleep 0.3
    xdotool mousemove $((ORIGIN_X + 900)) $((ORIGIN_Y + 700))
    sleep 5 # the scan of a test prefix takes a second or two
    local full="$SHOT_DIR/.full.png" out="$SHOT_DIR/scan-results.png"
    import -window root "$full" || return 1
    convert "$full" -crop "${screen[7]}x${screen[8]}+$((ORIGIN_X + screen[5]))+$((ORIGIN_Y + screen[6]))" +repage "$out" || return 1
    rm -f "$full"
    echo "$out"
    capture_review "${screen[5]}" "${screen[6]}"
    xdotool mousemove $((ORIGIN_X + screen[5] + close[1] + close[3] / 2)) \
        $((ORIGIN_Y + screen[6] + close[2] + close[4] / 2)) click 1
    sleep 1
}

# The review screen (review.png), opened with the results screen's Review button at dialog position X Y,
# then left with its Back button.
capture_review() {
    local review back screen
    mapfile -t review < <(skin_record SCREENSCANCOMPLETE_BUTTONINFO BUTTON_REVIEW)
    mapfile -t back < <(skin_record SCREENREVIEW_BUTTONINFO BUTTON_REVIEW_BACK)
    mapfile -t screen < <(skin_record SCREENREVIEWINFO Review)
    [ ${#review[@]} -ge 5 ] && [ ${#back[@]} -ge 5 ] && [ ${#screen[@]} -ge 9 ] || {
        log "the skin lacks the review screen"
        return 0
    }
    xdotool mousemove $((ORIGIN_X + $1 + review[1] + review[3] / 2)) $((ORIGIN_Y + $2 + review[2] + review[4] / 2)) click 1
    sleep 0.3
    xdotool mousemove $((ORIGIN_X + 900)) $((ORIGIN_Y + 700))
    sleep 1.5
    # Once more, now that the screen is built: the click's spot holds a button of the new screen, which a
    # move made while it was being built can leave lit.
    xdotool mousemove $((ORIGIN_X + 910)) $((ORIGIN_Y + 710))
    sleep 0.5
    local full="$SHOT_DIR/.full.png" out="$SHOT_DIR/review.png"
    import -window root "$full" || return 1
    convert "$full" -crop "${screen[7]}x${screen[8]}+$((ORIGIN_X + $1))+$((ORIGIN_Y + $2))" +repage "$out" || return 1
    rm -f "$full"
    echo "$out"
    xdotool mousemove $((ORIGIN_X + $1 + back[1] + back[3] / 2)) $((ORIGIN_Y + $2 + back[2] + back[4] / 2)) click 1
    sleep 1
}

# The schedule page's Add Schedule dialog (add-schedule.png, the whole desktop), its OK with the outcome
# message answered, and the page with the new schedule in its list (main-schedule-list.png). The prefix's
# work item keeps the schedule.
capture_schedule() {
    click_button BUTTON_SCHEDULE || return 1
    local page
    mapfile -t page < <(skin_record SUBMAINSCREENINFO SUBMAIN_SCHEDULE)
    local add
    mapfile -t add < <(skin_record SUBMAIN_SCHEDULE_BUTTONINFO BUTTON_ADDSCHEDULE)
    [ ${#page[@]} -ge 9 ] && [ ${#add[@]} -ge 5 ] || { log "the skin lacks the Add Schedule button"; return 1; }
    xdotool mousemove $((ORIGIN_X + page[5] + add[1] + add[3] / 2)) $((ORIGIN_Y + page[6] + add[2] + add[4] / 2)) click 1
    sleep 0.3
    xdotool mousemove $((ORIGIN_X + 900)) $((ORIGIN_Y + 700))
    sleep 1.5
    local full="$SHOT_DIR/add-schedule.png"
    import -window root -crop "${DESKTOP_W}x${DESKTOP_H}+${ORIGIN_X}+${ORIGIN_Y}" +repage "$full" && echo "$full"
    xdotool key Return # OK: the schedule is added
    sleep 1.5
    xdotool key Return # the outcome message
    sleep 1
    capture main-schedule-list
}

# Runs orvalin.exe in PREFIX on a private display and captures its pages; leaves nothing running.
capture_main_window() {
    local prefix=$1
    [ -x "$APP_EXE" ] || { log "missing $APP_EXE"; return 1; }
    mkdir -p "$SHOT_DIR"
    local saved_display=${DISPLAY:-}
    unset DISPLAY
    ensure_display || return 1
    # A server left from an earlier run would put the windows on that run's display.
    stop_wineserver "$prefix"
    start_wineserver "$prefix"

    # The window opens at the top left of the Wine desktop, which covers the top left of the screen.
    ORIGIN_X=0 ORIGIN_Y=0 WINDOW_W=720 WINDOW_H=470 DESKTOP_W=1024 DESKTOP_H=768
    (cd "$ROOT" && WINEPREFIX="$prefix" exec wine "$APP_EXE") >/dev/null 2>&1 &
    local app=$! probe="$SHOT_DIR/.probe.png" shown=
    local bx by
    read -r bx by _ _ < <(button_rect BUTTON_MAIN)
    for _ in $(seq 60); do
        sleep 0.5
        import -window root "$probe" 2>/dev/null || continue
        # Up once the first page button differs from the empty desktop beside the window.
        if [ "$(pixel "$probe" $((bx + 4)) $((by + 4)))" != "$(pixel "$probe" 900 600)" ]; then
            shown=1
            break
        fi
    done
    rm -f "$probe"
    local rc=0
    if [ -n "$shown" ]; then
        sleep 1.5 # the first page and the animation settle
        local full="$SHOT_DIR/desktop.png"
        import -window root "$full" && echo "$full"
        capture main-main || rc=1
        local page
        for page in schedule liveupdate support main; do
            click_button "BUTTON_${page^^}" || { rc=1; continue; }
            [ "$page" = main ] && continue # back to the first page: nothing new to capture
            capture "main-$page" || rc=1
        done
        capture_menus || rc=1
        capture_scan || rc=1
        capture_schedule || rc=1
        click_button BUTTON_EXIT
    else
        log "the main window did not appear"
        rc=1
    fi
    for _ in $(seq 20); do kill -0 "$app" 2>/dev/null || break; sleep 0.25; done
    kill "$app" 2>/dev/null
    wait "$app" 2>/dev/null
    stop_wineserver "$prefix"
    stop_xvfb
    [ -n "$saved_display" ] && export DISPLAY=$saved_display
    return $rc
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    ensure_packages || exit 1
    configure_and_build --target orvalin || exit 1
    PREFIX=${1:-$BUILD_DIR/screens-prefix}
    make_prefix "$PREFIX" || exit 1
    trap 'stop_wineserver "$PREFIX"; stop_xvfb' EXIT
    capture_main_window "$PREFIX"
fi
