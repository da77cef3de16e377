# shellcheck shell=bash
# The packages as a user meets them: tools/package.sh builds them, msiexec installs an older version's .msi
# silently in a fresh prefix and then this version's over it (the older is removed, one Orvalin stays in
# the list of programs, the older cannot go back over the newer), the program starts from its Start-menu
# entry (in an empty folder, so it can only find its skin beside itself) and shows its skin, the installed
# console tool scans, and the silent uninstall leaves nothing of the program but the user's backups.
# Source after tools/e2e/e2e_lib.sh; sets E2E_PREFIX_IN_USE.

PKG_PREFIX="$BUILD_DIR/package-prefix"
PKG_MSI=
PKG_OLD_MSI=
PKG_OLD_VERSION=0.0.1
PKG_LINK=

pkg_installed() { echo "$PKG_PREFIX/drive_c/Program Files/Orvalin"; }
pkg_user_backups() { echo "$PKG_PREFIX/drive_c/users/$(id -un)/AppData/Local/Orvalin/Backups"; }
# C:\... of a path below the prefix's drive_c.
pkg_windows_path() { local rel=${1#"$PKG_PREFIX/drive_c"}; echo "C:${rel//\//\\}"; }

package_build() {
    # The older version first: the same build under a lower number, which the upgrade replaces.
    "$ROOT/tools/package.sh" --version "$PKG_OLD_VERSION" >"$OUT/package-old.log" 2>&1 ||
        { tail -5 "$OUT/package-old.log"; return 1; }
    PKG_OLD_MSI=$(grep '\.msi$' "$OUT/package-old.log" | tail -1)
    "$ROOT/tools/package.sh" >"$OUT/package.log" 2>&1 || { tail -5 "$OUT/package.log"; return 1; }
    PKG_MSI=$(grep '\.msi$' "$OUT/package.log" | tail -1)
    local zip
    zip=$(grep '\.zip$' "$OUT/package.log" | tail -1)
    echo "      ${PKG_MSI##*/} ($(stat -c %s "$PKG_MSI") bytes), ${zip##*/} ($(stat -c %s "$zip") bytes)"
    local listing
    listing=$(unzip -l "$zip") || return 1
    grep -q ' Orvalin/skin/Skin.ini$' <<<"$listing" && grep -q ' Orvalin/orvalin-cli.exe$' <<<"$listing"
}

package_install() {
    rm -rf "$PKG_PREFIX"
    make_prefix "$PKG_PREFIX" >/dev/null 2>&1 || return 1
    start_wineserver "$PKG_PREFIX"
    # shellcheck disable=SC2034 # read by the e2e_lib.sh functions
    E2E_PREFIX_IN_USE=$PKG_PREFIX
    e2e_wine "$PKG_PREFIX" msiexec /i "$(e2e_windows_path "$PKG_OLD_MSI")" /qn >/dev/null 2>&1 || return 1
    pkg_check_installed || return 1
    echo "      $PKG_OLD_VERSION installed in C:\\Program Files\\Orvalin;" \
        "Start-menu entry $(pkg_windows_path "$PKG_LINK")"
    echo "      list of programs: $(pkg_programs | tr '\n' ' ')"
    [ "$(pkg_programs)" = "Orvalin $PKG_OLD_VERSION" ]
}

pkg_check_installed() {
    local dir
    dir=$(pkg_installed)
    [ -f "$dir/orvalin.exe" ] && [ -f "$dir/orvalin-cli.exe" ] && [ -f "$dir/skin/Skin.ini" ] || return 1
    # Windows puts an all-users package's entry in ProgramData; Wine's msiexec puts it in the user's menu.
    PKG_LINK=$(find "$PKG_PREFIX/drive_c" -path '*/Start Menu/Programs/Orvalin.lnk' | head -1)
    [ -n "$PKG_LINK" ]
}

# "name version" of every Orvalin entry in the list of programs (both registry views).
pkg_programs() {
    local view
    for view in 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' \
        'HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall'; do
        e2e_wine "$PKG_PREFIX" 'C:\windows\system32\reg.exe' query "$view" /s 2>/dev/null | tr -d '\r'
    done | awk '/^HKEY/ { if (name ~ /Orvalin/) print name, version; name = version = "" }
        $1 == "DisplayName" { name = $3 } $1 == "DisplayVersion" { version = $3 }
        END { if (name ~ /Orvalin/) print name, version }'
}

# This version over the older one: the older is removed first (RemoveExistingProducts), so its files give
# way even where they were changed since, and one entry is left in the list of programs.
package_upgrade() {
    local version dir stage="$BUILD_DIR/dist/stage/Orvalin"
    dir=$(pkg_installed)
    version=$(sed -n 's/.*Orvalin-\(.*\)-x64\.msi$/\1/p' <<<"$PKG_MSI")
    # A file of the older version changed after its installation: an install that merely went over it
    # would keep it (Windows Installer keeps an unversioned file the user changed).
    echo '; changed after the older version was installed' >>"$dir/skin/Skin.ini"
    e2e_wine "$PKG_PREFIX" msiexec /i "$(e2e_windows_path "$PKG_MSI")" /qn >/dev/null 2>&1 || return 1
    pkg_check_installed || return 1
    local file differ=0
    for file in orvalin.exe orvalin-cli.exe skin/Skin.ini; do
        cmp -s "$stage/$file" "$dir/$file" || { echo "      not this version's: $file"; differ=1; }
    done
    echo "      list of programs after installing $version over $PKG_OLD_VERSION: $(pkg_programs | tr '\n' ' ')"
    [ "$differ" = 0 ] && [ "$(pkg_programs)" = "Orvalin $version" ] || return 1
    # The older package over the newer: refused, and the newer stays.
    e2e_wine "$PKG_PREFIX" msiexec /i "$(e2e_windows_path "$PKG_OLD_MSI")" /qn >/dev/null 2>&1 && return 1
    echo "      $PKG_OLD_VERSION over $version refused; list of programs: $(pkg_programs | tr '\n' ' ')"
    [ "$(pkg_programs)" = "Orvalin $version" ] && cmp -s "$stage/orvalin.exe" "$dir/orvalin.exe"
}

package_start_from_menu() {
    local cwd="$BUILD_DIR/package-cwd"
    rm -rf "$cwd" && mkdir -p "$cwd"
    # start.exe opens the entry through the shell, as a click on it does.
    (cd "$cwd" && e2e_wine "$PKG_PREFIX" start "$(pkg_windows_path "$PKG_LINK")") >/dev/null 2>&1 || return 1
    e2e_wait_main_window 60 || return 1
    sleep 1
    e2e_shot "$SHOTS/package-start-menu.png"
    # The main picture drawn: the window's pixels match the skin's main picture.
    "$PY" "$E2E_CHECK" main "$SHOTS/package-start-menu.png" "$SKIN_DIR" | sed 's/^/      /'
    [ "${PIPESTATUS[0]}" = 0 ]
}

package_cli_scan() {
    e2e_wine "$PKG_PREFIX" 'C:\Program Files\Orvalin\orvalin-cli.exe' scan --json \
        >"$OUT/package-scan.json" 2>/dev/null
    local rc=$?
    [ $rc -le 1 ] || return 1
    "$PY" -c 'import json,sys; d=json.load(open(sys.argv[1])); print("      installed orvalin-cli scan --json:", len(d["rows"]), "rows")' \
        "$OUT/package-scan.json"
}

package_uninstall() {
    # A backup of the user's stands for the fixes made while installed: it must outlive the program.
    mkdir -p "$(pkg_user_backups)"
    echo '<backup/>' >"$(pkg_user_backups)/FixedOnPackageTest.xml"
    stop_wineserver "$PKG_PREFIX" # the running program ends with the session
    start_wineserver "$PKG_PREFIX"
    e2e_wine "$PKG_PREFIX" msiexec /x "$(e2e_windows_path "$PKG_MSI")" /qn >/dev/null 2>&1 || return 1
    local left
    left=$(find "$PKG_PREFIX/drive_c" -iname '*orvalin*' -not -path "$(pkg_user_backups)*" \
        -not -path "$PKG_PREFIX/drive_c/users/$(id -un)/AppData/Local/Orvalin" | sed "s|^$PKG_PREFIX/||")
    e2e_wine "$PKG_PREFIX" 'C:\windows\system32\reg.exe' query 'HKLM\Software\Orvalin' >/dev/null 2>&1 &&
        left+=$'\nHKLM\\Software\\Orvalin'
    [ -z "$(pkg_programs)" ] || left+=$'\n'"list of programs: $(pkg_programs)"
    [ -z "$left" ] || { sed 's/^/      left after uninstall: /' <<<"$left"; return 1; }
    [ -f "$(pkg_user_backups)/FixedOnPackageTest.xml" ] || return 1
    echo "      uninstalled: nothing left but the user's backup folder"
}
