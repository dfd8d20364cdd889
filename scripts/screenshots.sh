#!/bin/bash
# Pictures of the main window, the Select Driver dialog, the about box, Clone's input box and
# Delete's question: the real
# vendaro.exe on the example scripts (examples/vendaro.ini), drawn by Wine on a virtual X
# display (Xvfb), driven with real key presses, written to docs/screenshots/*.png.
#
#   scripts/screenshots.sh [BUILD_DIR]    a Windows build (default: build/win64)
#
# Needs Xvfb, xdotool, ImageMagick (import), Wine and fonts-wine (installed here when missing,
# as root). Not part of the tests.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$repo/build/win64}" && pwd)
exe="$build/vendaro.exe"
out="$repo/docs/screenshots"

die() {
    echo "screenshots: $*" >&2
    exit 1
}

[ -f "$exe" ] || die "$exe not found: build the target vendaro of a Windows build first"
for tool in Xvfb xdotool import; do
    command -v "$tool" >/dev/null 2>&1 || die "$tool is not installed"
done

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
    WINEPREFIX="$prefix" WINEDEBUG=-all /usr/lib/wine/wine64 reg delete \
        'HKCU\Software\Wine\Drivers' /v Graphics /f >/dev/null 2>&1 || true
    WINEPREFIX="$prefix" wineserver -w
    touch "$prefix/.vendaro-x11"
fi
# Debian's Wine does not look for its own fonts where fonts-wine puts them: the prefix's Fonts
# folder holds a copy.
mkdir -p "$prefix/drive_c/windows/Fonts"
cp -u /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/"

display=:$((80 + $$ % 9))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
# shellcheck disable=SC2317 # called by the trap
cleanup() {
    WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true
    kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT INT TERM
sleep 1

export DISPLAY="$display" WINEPREFIX="$prefix" WINEDEBUG=-all LC_ALL=C
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset VENDARO_WINEPREFIX

# The program in a folder of its own with the example scripts and the help file.
app="$prefix/drive_c/Vendaro"
rm -rf "$app"
mkdir -p "$app"
cp "$exe" "$app/vendaro.exe"
cp "$repo/examples/vendaro.ini" "$app/vendaro.ini"
cp "$repo/app/win32/faq.fil" "$app/faq.fil"

# The X window whose title is exactly $1, once it shows (waits up to 20 s).
window_named() {
    local id
    for _ in $(seq 100); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
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
    shift
    xdotool key --delay 100 "$@"
}

mkdir -p "$out"
wine "$app/vendaro.exe" </dev/null >/dev/null 2>&1 &
program=$!

main=$(window_named 'Vendaro!')
shoot "$main" main-window

keys "$main" alt+a
select_driver=$(window_named 'Vendaro! - Add DSN Script')
keys "$select_driver" Down
shoot "$select_driver" select-driver
keys "$select_driver" Escape

keys "$main" alt+b
about=$(window_named 'About Vendaro!')
shoot "$about" about-box
keys "$about" Escape

keys "$main" alt+c
clone=$(window_named "Clone DSN script 'Sales'")
shoot "$clone" clone-input-box
keys "$clone" Escape

keys "$main" alt+d
question=$(window_named 'Vendaro!' | tail -n 1)
for _ in $(seq 50); do
    [ "$question" != "$main" ] && break
    sleep 0.2
    question=$(xdotool search --onlyvisible --name '^Vendaro!$' | grep -vx "$main" | head -n 1 || true)
    [ -n "$question" ] || question=$main
done
[ "$question" != "$main" ] || die "the Delete question did not appear"
shoot "$question" delete-question
keys "$question" n

keys "$main" Escape
for _ in $(seq 50); do
    kill -0 "$program" 2>/dev/null || break
    sleep 0.2
done
kill -0 "$program" 2>/dev/null && die "Escape did not close the main window"
exit 0
