#!/bin/sh
# Pictures of the script editor dialogs: every editor, every page of the Adaptive Server
# Anywhere editor, the long Access and dBase editors and the Access advanced options, a new
# script's editor with its Cancel question and its folder chooser, drawn by Wine on a virtual
# X display (Xvfb) and written to docs/screenshots/*.png.
#
#   scripts/screenshots-editors.sh [BUILD_DIR]    a Windows build (default: build/win64)
#
# Needs Xvfb, ImageMagick (convert), 64-bit Wine and fonts-wine (installed here when missing,
# as root); the build's program editor_screenshots (scripts/editor_screenshots.cpp, built here)
# draws the dialogs on the example scripts (examples/vendaro.ini).
set -eu

repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$repo/build/win64}" && pwd)
exe="$build/editors/editor_screenshots.exe"
out="$repo/docs/screenshots"
loader=/usr/lib/wine/wine64

die() {
    echo "screenshots-editors: $*" >&2
    exit 1
}

cmake --build "$build" --target editor_screenshots >/dev/null || die "could not build editor_screenshots"
command -v Xvfb >/dev/null 2>&1 || die "Xvfb is not installed"
command -v convert >/dev/null 2>&1 || die "ImageMagick (convert) is not installed"
[ -x "$loader" ] || die "64-bit Wine is not installed"

# Wine draws the title bar's buttons with its Marlett font and maps "MS Shell Dlg" to its Tahoma;
# Debian ships both in fonts-wine.
if ! dpkg-query -W -f='${Status}' fonts-wine 2>/dev/null | grep -q 'ok installed'; then
    [ "$(id -u)" -eq 0 ] || die "fonts-wine is not installed: run as root, or: sudo apt-get install fonts-wine"
    DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300 -q install -y \
        --no-install-recommends fonts-wine >/dev/null || die "could not install fonts-wine"
fi

# A prefix that draws on X: the tests' headless prefix, with the null display driver removed.
prefix="$build/wineprefix-x11"
if [ ! -f "$prefix/.vendaro-x11" ]; then
    headless=$("$repo/scripts/wine-run" --prefix "$build")
    "$repo/scripts/wine-run" --stop "$build"
    rm -rf "$prefix"
    cp -a "$headless" "$prefix"
    WINEPREFIX="$prefix" WINEDEBUG=-all "$loader" reg delete 'HKCU\Software\Wine\Drivers' \
        /v Graphics /f >/dev/null 2>&1 || true
    WINEPREFIX="$prefix" wineserver -w
    touch "$prefix/.vendaro-x11"
fi
# Debian's Wine does not look for its own fonts where fonts-wine puts them: the prefix's Fonts
# folder holds a copy.
mkdir -p "$prefix/drive_c/windows/Fonts"
cp -u /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/"

display=:$((90 + $$ % 9))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
bitmaps=$(mktemp -d)
cleanup() {
    WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true
    kill "$xvfb" 2>/dev/null || true
    rm -rf "$bitmaps"
}
trap cleanup EXIT INT TERM
sleep 1

export DISPLAY="$display" WINEPREFIX="$prefix" WINEDEBUG=-all LC_ALL=C
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# The program writes through Wine: its paths on Wine's drive Z:.
z() { printf 'Z:%s' "$1" | tr / "\\\\"; }
(cd "$build" && timeout 300 "$loader" "$exe" "$(z "$bitmaps")" "$(z "$repo/examples/vendaro.ini")" \
    </dev/null) || die "the dialogs could not be drawn"

mkdir -p "$out"
count=0
for bitmap in "$bitmaps"/*.bmp; do
    [ -f "$bitmap" ] || continue
    name=$(basename "$bitmap" .bmp)
    convert "$bitmap" "$out/$name.png"
    echo "$out/$name.png"
    count=$((count + 1))
done
[ "$count" -gt 0 ] || die "no picture was made"
