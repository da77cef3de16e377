# shellcheck shell=bash
# Shared shell functions of the project's scripts. Source it; do not run it.
# Everything here is idempotent: a second call finds the work already done.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-build}
case "$BUILD_DIR" in /*) ;; *) BUILD_DIR="$ROOT/$BUILD_DIR" ;; esac

# The installed Wine packages as "name:arch=version" words. A prefix booted under one set does not start
# under another (wine32 added later gives "could not load kernel32.dll"), so prefixes carry this key.
wine_packages_key() {
    dpkg-query -W -f='${db:Status-Abbrev}|${binary:Package}=${Version}\n' 'wine*' 'libwine*' 2>/dev/null |
        awk -F'|' '$1 ~ /^ii/ { print $2 }' | sort | tr '\n' ' '
}
# A booted prefix is kept here and copied: booting takes 20 s, copying 3 s. One template per Wine set.
# Read again after ensure_packages installs Wine packages.
read_wine_key() {
    WINE_KEY=$(wine_packages_key)
    TEMPLATE_PREFIX=${ORVALIN_TEMPLATE_PREFIX:-$HOME/.cache/orvalin/template-$(printf %s "$WINE_KEY" | md5sum | cut -c1-12)}
}
read_wine_key

export WINEARCH=win64
export WINEDEBUG=-all
# No Mono or Gecko prompts; a crash fails at once; no menu entries or .desktop files in the host's home
# for shortcuts made inside a prefix.
export WINEDLLOVERRIDES='mscoree,mshtml=;winedbg.exe=d;winemenubuilder.exe=d'
# Every program here is 64-bit: tools/wine/wine starts it with the 64-bit loader even where wine32 is
# installed (Debian's wine then picks the 32-bit loader, which finds a Unix path only through a drive).
case ":$PATH:" in *":$ROOT/tools/wine:"*) ;; *) export PATH="$ROOT/tools/wine:$PATH" ;; esac

log() { printf '== %s\n' "$*" >&2; }

as_root() {
    if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

# wine32 (architecture i386) gives every prefix the 32-bit half a real 64-bit Windows has: SysWOW64 and the
# Wow6432Node registry views.
PACKAGES="wine64 wine wine32:i386 g++-mingw-w64-x86-64-posix mingw-w64-tools cmake ninja-build googletest xvfb xauth \
x11-apps imagemagick xdotool python3 python3-pil fonts-liberation shellcheck wixl zip unzip"

ensure_packages() {
    local missing=() p
    for p in $PACKAGES "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    log "installing: ${missing[*]}"
    if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        as_root dpkg --add-architecture i386
    fi
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    read_wine_key
}

configure_and_build() {
    if [ ! -f "$BUILD_DIR/build.ninja" ]; then
        cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw64.cmake" >/dev/null
    fi
    cmake --build "$BUILD_DIR" -j "${JOBS:-$(nproc)}" "$@"
}

# True when PREFIX was finished under the Wine packages installed now.
prefix_current() { [ -f "$1/.orvalin-ready" ] && [ "$(cat "$1/.orvalin-ready")" = "$WINE_KEY" ]; }

# Boots the template prefix once per machine and Wine set. Booted aside and moved in place under a lock,
# so scripts running at the same time wait for it and never copy a half-booted one.
ensure_template_prefix() {
    prefix_current "$TEMPLATE_PREFIX" && return 0
    mkdir -p "$(dirname "$TEMPLATE_PREFIX")"
    (
        flock 9
        prefix_current "$TEMPLATE_PREFIX" && exit 0
        log "booting a Wine prefix (once for these Wine packages): $TEMPLATE_PREFIX"
        local booting="$TEMPLATE_PREFIX.booting"
        rm -rf "$booting" "$TEMPLATE_PREFIX"
        WINEPREFIX="$booting" wineboot -i >/dev/null 2>&1
        WINEPREFIX="$booting" wineserver -w
        printf %s "$WINE_KEY" >"$booting/.orvalin-ready"
        mv "$booting" "$TEMPLATE_PREFIX"
    ) 9>"$TEMPLATE_PREFIX.lock"
    prefix_current "$TEMPLATE_PREFIX"
}

# Windows program under Wine in a given prefix; runs reg.exe by full path so a reg.exe in the cwd is never picked.
wreg() { local prefix=$1; shift; WINEPREFIX="$prefix" wine 'C:\windows\system32\reg.exe' "$@" >/dev/null 2>&1; }

# Makes a fresh prefix from the template: Z: (the host's /) is kept so Unix paths still resolve, but reported
# as a network drive so nothing that walks fixed drives walks the host; a virtual desktop so hidden windows
# do not cost 2 s each without a window manager. Scripts in tools/prefix.d add what their tests need.
make_prefix() {
    local prefix=$1
    ensure_template_prefix || return 1
    prefix_current "$prefix" && return 0
    log "preparing Wine prefix $prefix"
    rm -rf "$prefix"
    mkdir -p "$(dirname "$prefix")"
    cp -a "$TEMPLATE_PREFIX" "$prefix"
    rm -f "$prefix/.orvalin-ready"
    # Wine links the user's Desktop, Documents, ... to the host's home folder. A test or demo prefix keeps
    # its own folders, so nothing written to the desktop lands outside the prefix.
    local link
    for link in "$prefix"/drive_c/users/*/*; do
        [ -L "$link" ] || continue
        rm -f "$link" && mkdir -p "$link"
    done
    wreg "$prefix" add 'HKLM\Software\Wine\Drives' /v z: /d network /f
    wreg "$prefix" add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f
    wreg "$prefix" add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1024x768 /f
    local hook
    for hook in "$ROOT"/tools/prefix.d/*.sh; do
        [ -f "$hook" ] || continue
        WINEPREFIX="$prefix" PREFIX="$prefix" bash "$hook" || { log "prefix hook failed: $hook"; return 1; }
    done
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    WINEPREFIX="$prefix" wineserver -w 2>/dev/null || true
    printf %s "$WINE_KEY" >"$prefix/.orvalin-ready"
}

XVFB_PID=
# Starts a private Xvfb when there is no display; stop_xvfb ends it by PID.
ensure_display() {
    [ -n "${DISPLAY:-}" ] && return 0
    local n=90
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    local _
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && return 0; sleep 0.1; done
    log "Xvfb did not start"
    return 1
}
stop_xvfb() { [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null; XVFB_PID=; }

# A persistent wineserver keeps every test process start warm (tens of ms instead of seconds).
start_wineserver() { WINEPREFIX="$1" wineserver -p; WINEPREFIX="$1" wine cmd /c exit 0 >/dev/null 2>&1 || true; }
stop_wineserver() { WINEPREFIX="$1" wineserver -k 2>/dev/null || true; }
