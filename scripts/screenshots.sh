#!/bin/bash
# Pictures for docs/screenshots/*.png, drawn by Wine on a virtual X display (Xvfb):
# - the real vendaro.exe on the example scripts, driven with key presses: the main window, the
#   Select Driver dialog, the about box, Clone's input box and Delete's question;
# - every editor dialog, drawn by the program editor_screenshots (app/win32/, built here).
#
#   scripts/screenshots.sh [BUILD_DIR]    a Windows build (default: build/win64)
#
# Needs what scripts/setup-deps.sh installs: Wine with fonts-wine, Xvfb, xdotool, ImageMagick.
# Not part of the tests.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$repo/build/win64}" && pwd)
out="$repo/docs/screenshots"
die() {
    echo "screenshots: $*" >&2
    exit 1
}

for tool in Xvfb xdotool import convert; do
    command -v "$tool" >/dev/null 2>&1 || die "$tool is not installed: run scripts/setup-deps.sh"
done
cmake --build "$build" --target vendaro editor_screenshots >/dev/null || die "could not build the programs"

# A prefix that draws on X: one that wine-run sets up, with its null display driver removed.
prefix="$build/wineprefix-x11"
export VENDARO_WINEPREFIX=$prefix
if [ ! -f "$prefix/.vendaro-x11" ]; then
    "$repo/scripts/wine-run" --prefix "$build" >/dev/null
    WINEPREFIX="$prefix" WINEDEBUG=-all /usr/lib/wine/wine64 reg delete \
        'HKCU\Software\Wine\Drivers' /v Graphics /f >/dev/null 2>&1 || true
    WINEPREFIX="$prefix" wineserver -w
    touch "$prefix/.vendaro-x11"
fi

display=:$((80 + $$ % 9))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
bitmaps=$(mktemp -d)
# shellcheck disable=SC2317 # called by the trap
cleanup() {
    "$repo/scripts/wine-run" --stop "$build"
    kill "$xvfb" 2>/dev/null || true
    rm -rf "$bitmaps"
}
trap cleanup EXIT INT TERM
sleep 1
export DISPLAY="$display"
mkdir -p "$out"

# --- the editors: the program writes a bitmap of each dialog (paths on Wine's drive Z:) ---
z() { printf 'Z:%s' "${1//\//\\}"; }
(cd "$build" && timeout 300 "$repo/scripts/wine-run" "$build/editor_screenshots.exe" \
    "$(z "$bitmaps")" "$(z "$repo/examples/vendaro.ini")" </dev/null) ||
    die "the editor dialogs could not be drawn"
for bitmap in "$bitmaps"/*.bmp; do
    [ -f "$bitmap" ] || die "no editor picture was made"
    convert "$bitmap" "$out/$(basename "$bitmap" .bmp).png"
    echo "$out/$(basename "$bitmap" .bmp).png"
done

# --- the main window and its dialogs: the program in a folder of its own ---
app="$prefix/drive_c/Vendaro"
rm -rf "$app"
mkdir -p "$app"
cp "$build/vendaro.exe" "$build/faq.fil" "$app/"
cp "$repo/examples/vendaro.ini" "$app/vendaro.ini"

# The X windows whose title is exactly $1, once one shows (waits up to 20 s).
windows_named() {
    for _ in $(seq 100); do
        xdotool search --onlyvisible --name "^$1\$" 2>/dev/null && return 0
        sleep 0.2
    done
    die "no window named '$1' appeared"
}
shoot() { # WINDOW NAME
    sleep 0.7 # let Wine finish painting
    import -window "$1" "$out/$2.png"
    echo "$out/$2.png"
}
keys() { # WINDOW KEY...
    xdotool windowfocus --sync "$1" 2>/dev/null || true
    xdotool key --delay 100 "${@:2}"
}

"$repo/scripts/wine-run" "$app/vendaro.exe" </dev/null >/dev/null 2>&1 &
program=$!
main=$(windows_named 'Vendaro!' | head -n 1)
shoot "$main" main-window
# A dialog: its window shows, is shot and is closed with KEY.
dialog() { # KEYS TITLE NAME KEY
    keys "$main" "$1"
    local window
    window=$(windows_named "$2" | head -n 1)
    shoot "$window" "$3"
    keys "$window" "$4"
}
keys "$main" alt+a
select_driver=$(windows_named 'Vendaro! - Add DSN Script' | head -n 1)
keys "$select_driver" Down
shoot "$select_driver" select-driver
keys "$select_driver" Escape
dialog alt+b 'About Vendaro!' about-box Escape
dialog alt+c "Clone DSN script 'Sales'" clone-input-box Escape

# Delete's question has the main window's title.
keys "$main" alt+d
question=
for _ in $(seq 50); do
    question=$(windows_named 'Vendaro!' | grep -vx "$main" | head -n 1 || true)
    [ -n "$question" ] && break
    sleep 0.2
done
[ -n "$question" ] || die "the Delete question did not appear"
shoot "$question" delete-question
keys "$question" n

keys "$main" Escape
for _ in $(seq 50); do
    kill -0 "$program" 2>/dev/null || exit 0
    sleep 0.2
done
die "Escape did not close the main window"
