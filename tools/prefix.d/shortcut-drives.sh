#!/usr/bin/env bash
# Test drives of the shortcut tests: folders below the prefix, mapped as extra drive letters.
#   S:  fixed      - the shortcut tests' own drive; the tests empty it before each case
#   R:  fixed      - a tree with directory symlinks that loop back (kept between runs)
#   T:  CD-ROM     U:  removable (floppy)     V:  network
# The wineserver is restarted by the caller after every hook, so the drive settings are read then.
set -eu
: "${PREFIX:?}" "${WINEPREFIX:?}"

drives="$PREFIX/orvalin-drives"
mkdir -p "$drives/fixed" "$drives/loops" "$drives/cdrom" "$drives/removable" "$drives/network"

ln -sfn "../orvalin-drives/fixed" "$PREFIX/dosdevices/s:"
ln -sfn "../orvalin-drives/loops" "$PREFIX/dosdevices/r:"
ln -sfn "../orvalin-drives/cdrom" "$PREFIX/dosdevices/t:"
ln -sfn "../orvalin-drives/removable" "$PREFIX/dosdevices/u:"
ln -sfn "../orvalin-drives/network" "$PREFIX/dosdevices/v:"

# Two links back into the same tree: a walk that follows them never ends (the paths double at each level).
mkdir -p "$drives/loops/top/a/b"
ln -sfn .. "$drives/loops/top/a/up"
ln -sfn ../.. "$drives/loops/top/a/b/back"
ln -sfn ../a "$drives/loops/top/a/b/sideways"

reg() { wine 'C:\windows\system32\reg.exe' "$@" >/dev/null 2>&1; }
reg add 'HKLM\Software\Wine\Drives' /v s: /d hd /f
reg add 'HKLM\Software\Wine\Drives' /v r: /d hd /f
reg add 'HKLM\Software\Wine\Drives' /v t: /d cdrom /f
reg add 'HKLM\Software\Wine\Drives' /v u: /d floppy /f
reg add 'HKLM\Software\Wine\Drives' /v v: /d network /f
