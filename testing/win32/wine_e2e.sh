# shellcheck shell=bash
# shellcheck disable=SC2034 # failed, prefix and bits are the sourcing script's
# What the Wine end-to-end scripts share, sourced at their start (they set failed=0 first):
# fail, same (WHAT WANT GOT), reg (Wine's reg in the program's own view of the registry, LF
# lines), and wine_e2e PROGRAM.EXE WORK_DIR NAME, which sets bits from the program's PE header
# (pe: where that header starts), exits 77 when the Wine for that bitness is missing, empties
# WORK_DIR and makes a fresh prefix in it (prefix), whose server stops when the script ends.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd) && wine_run=$root/scripts/wine-run
fail() { failed=1 && echo "FAILED: $*"; }
same() { [ "$2" = "$3" ] || fail "$1:"$'\n'"$(diff <(echo "$2") <(echo "$3"))"; }
reg() { "$wine_run" reg "$@" /reg:"$bits" 2>/dev/null | tr -d '\r'; }
wine_e2e() {
    pe=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
    [ "$(od -An -tx2 -j$((pe + 4)) -N2 "$1" | tr -d ' ')" = 014c ] && bits=32 || bits=64
    [ "$bits" = 64 ] || /usr/lib/wine/wine --version >/dev/null 2>&1 ||
        { echo "$3: 32-bit Wine (wine32:i386) is missing: NOT RUN" && exit 77; }
    rm -rf "$2" && mkdir -p "$2"
    export VENDARO_WINEPREFIX=$2/prefix
    prefix=$("$wine_run" --prefix) || exit 1
    trap '"$wine_run" --stop >/dev/null 2>&1' EXIT
}
