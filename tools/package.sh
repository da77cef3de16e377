#!/usr/bin/env bash
# Builds the Windows packages into build/dist/:
#   Orvalin-<version>-x64.msi  Windows Installer package (wixl): Program Files\Orvalin and a Start-menu entry
#   Orvalin-<version>-x64.zip  the same files in one folder, for use without installation
# The version is the CMake project version (CMakeLists.txt), read from the build's generated header.
#   tools/package.sh --version 0.0.9   packages the same build under another version number (the upgrade
#                                      test installs one version over another)
set -uo pipefail
. "$(dirname "$0")/lib.sh"

VERSION=
case "${1:-}" in
--version) VERSION=${2:-} ;;
"") ;;
*) log "usage: tools/package.sh [--version MAJOR.MINOR.BUILD]"; exit 2 ;;
esac
# Windows Installer compares the first three fields, each a number.
if [ -n "$VERSION" ] && ! [[ "$VERSION" =~ ^[0-9]{1,3}\.[0-9]{1,3}\.[0-9]{1,5}$ ]]; then
    log "not a MAJOR.MINOR.BUILD version: $VERSION"
    exit 2
fi

ensure_packages || exit 1
configure_and_build --target orvalin orvalin-cli || exit 1

[ -n "$VERSION" ] || VERSION=$(sed -n 's/^#define ORVALIN_VERSION_STR "\(.*\)"$/\1/p' "$BUILD_DIR/generated/version.h")
[ -n "$VERSION" ] || { log "no version in $BUILD_DIR/generated/version.h"; exit 1; }
DIST="$BUILD_DIR/dist"
STAGE="$DIST/stage/Orvalin"
NAME="Orvalin-$VERSION-x64"

rm -rf "$DIST/stage" "$DIST/$NAME.msi" "$DIST/$NAME.zip"
mkdir -p "$STAGE/skin"
cp "$BUILD_DIR/src/app/orvalin.exe" "$BUILD_DIR/src/cli/orvalin-cli.exe" "$STAGE/"
cp "$ROOT"/skin/* "$STAGE/skin/"
# The build keeps debugging information; the packages do not need it.
x86_64-w64-mingw32-strip "$STAGE"/*.exe || exit 1

# One component a skin file, each with a GUID derived from its name, so an upgrade keeps them apart.
skin_fragment() {
    local file id guid
    echo '<?xml version="1.0" encoding="utf-8"?>'
    echo '<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi"><Fragment>'
    echo '  <ComponentGroup Id="SkinFiles" Directory="SKINDIR">'
    for file in "$STAGE"/skin/*; do
        file=${file##*/}
        id="skin_$(printf %s "$file" | md5sum | cut -c1-16)"
        guid=$(printf %s "orvalin-skin/$file" | md5sum | sed -E 's/^(.{8})(.{4})(.{4})(.{4})(.{12}).*/\1-\2-\3-\4-\5/')
        printf '    <Component Id="%s" Guid="%s" Win64="yes"><File Id="%s" Name="%s" Source="$(var.SourceDir)/skin/%s" KeyPath="yes"/></Component>\n' \
            "$id" "${guid^^}" "$id" "$file" "$file"
    done
    echo '  </ComponentGroup>'
    echo '</Fragment></Wix>'
}
skin_fragment >"$DIST/stage/skin.wxs"

log "building $NAME.msi"
# wixl takes the files' paths relative to the folder it runs in.
(cd "$DIST/stage" && wixl -a x64 -D Version="$VERSION" -D SourceDir=Orvalin -o "../$NAME.msi" \
    "$ROOT/tools/package/orvalin.wxs" skin.wxs) || exit 1
log "building $NAME.zip"
(cd "$DIST/stage" && zip -qr "../$NAME.zip" Orvalin) || exit 1
echo "$DIST/$NAME.msi"
echo "$DIST/$NAME.zip"
