#!/bin/bash
# Installs, with apt-get, what Vendaro needs on Debian 12, by purpose:
#   setup-deps.sh --demo  the Linux program only: g++, CMake, make, unixODBC with its
#                         development files and odbcinst, doctest (the build's configure step
#                         looks for it); on a bare system at most about 110 MB to download
#   setup-deps.sh         everything building and testing needs (scripts/test-all.sh): the
#                         above, both mingw-w64 cross compilers, Wine with its fonts (also 32-bit, see
#                         below), the headless X tools, and the package checks' tools (man,
#                         unzip, file, dpkg-dev, lintian), and clang for the fuzz targets (its
#                         fuzzer header also lets the Linux suites replay the seed corpora);
#                         Debian's SQLite3 ODBC driver, sqlite3 and ansible-core for
#                         vendaroctl's real-driver and Ansible tests;
#                         about 600 MB to download, 2.8 GB
#                         installed
# Run as root; when everything is present it only checks, in well under a second.
#
# It also tries to add 32-bit Wine (wine32:i386), which runs the 32-bit Windows tests. That
# install can fail on a mirror (the i386 index of a suite, or packages at the versions the
# amd64 side already has, may be missing): then it says so and goes on. The outcome is kept
# in build/wine32-status, and a failed attempt is not repeated unless VENDARO_RETRY_WINE32=1.
# VENDARO_NO_WINE32=1 skips the 32-bit install altogether.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
status_file="$repo/build/wine32-status"
deb_cache=/var/cache/vendaro-debs
export DEBIAN_FRONTEND=noninteractive

purpose=all
case "${1:-}" in
    --demo) purpose=demo ;;
    "" | --all) ;;
    *)
        echo "usage: $0 [--demo | --all]" >&2
        exit 2
        ;;
esac

packages=(cmake make g++ doctest-dev unixodbc unixodbc-dev odbcinst)
if [ "$purpose" = all ]; then
    packages+=(
        pkg-config g++-mingw-w64-x86-64 g++-mingw-w64-i686
        wine wine64 fonts-wine xvfb xauth xdotool imagemagick x11-apps
        dpkg-dev man-db unzip file lintian clang clang-format shellcheck
        libsqliteodbc sqlite3 ansible-core
    )
fi

say() { echo "setup-deps: $*"; }

apt_get() { apt-get -o DPkg::Lock::Timeout=300 -q "$@"; }

# Prints the packages of "$@" that are not installed.
not_installed() {
    local installed
    installed=$(dpkg-query -W -f='${Package}:${Architecture} ${db:Status-Abbrev}\n' "$@" \
        2>/dev/null | awk '$2 == "ii" { print $1 }' || true)
    local p
    for p in "$@"; do
        case "$p" in
            *:*) grep -qxF "$p" <<<"$installed" || echo "$p" ;;
            *) grep -qE "^${p//+/\\+}:(amd64|all|i386)$" <<<"$installed" || echo "$p" ;;
        esac
    done
}

need_root() {
    if [ "$(id -u)" -ne 0 ]; then
        say "these packages are missing and installing them needs root: $*" >&2
        say "run: sudo $0" >&2
        exit 1
    fi
}

updated=0
apt_update() {
    [ "$updated" = 1 ] && return 0
    updated=1
    # A suite whose index fails to download makes apt-get update fail as a whole; the other
    # suites were still refreshed, so go on and let the install decide.
    apt_get update >/tmp/vendaro-apt-update.log 2>&1 ||
        say "apt-get update reported errors (see /tmp/vendaro-apt-update.log); going on"
}

# --- the packages every build needs -------------------------------------------------------
mapfile -t missing < <(not_installed "${packages[@]}")
if [ "${#missing[@]}" -gt 0 ]; then
    need_root "${missing[@]}"
    say "installing ${missing[*]}"
    apt_update
    apt_get install -y --no-install-recommends "${missing[@]}"
fi

[ "$purpose" = all ] || exit 0

# --- 32-bit Wine ----------------------------------------------------------------------------
mkdir -p "$repo/build"
record() { echo "$1" >"$status_file"; }

wine32_present() { [ -x /usr/lib/wine/wine ] && [ -z "$(not_installed wine32:i386)" ]; }

# The i386 packages that wine32 needs whose amd64 twin is installed at a version newer than
# every i386 version the indexes hold (multi-arch packages must match exactly, and apt does
# not downgrade), as "name version" lines. An amd64 package at an older version is no problem:
# apt upgrades it along.
skewed_i386_dependencies() {
    local closure installed
    closure=$(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts \
        --no-breaks --no-replaces --no-enhances wine32:i386 2>/dev/null |
        grep -E '^[a-z0-9].*:i386$' | sed 's/:i386$//' | sort -u || true)
    [ -n "$closure" ] || return 0
    # shellcheck disable=SC2046,SC2086 # one argument per package name
    installed=$(dpkg-query -W -f='${Package} ${Version} ${Multi-Arch} ${db:Status-Abbrev}\n' \
        $(printf '%s:amd64\n' $closure) 2>/dev/null |
        awk '$3 == "same" && $4 == "ii" { print $1, $2 }' || true)
    [ -n "$installed" ] || return 0
    # Every i386 version the indexes offer, one "name version" line each (one apt-cache run).
    local offered
    # shellcheck disable=SC2046 # one argument per package name
    offered=$(apt-cache madison $(awk '{ print $1 ":i386" }' <<<"$installed") 2>/dev/null |
        awk -F' [|] ' '{ gsub(/^ +|:i386$/, "", $1); print $1, $2 }' || true)
    local name version v newer
    while read -r name version; do
        newer=0
        while read -r v; do
            [ -n "$v" ] && dpkg --compare-versions "$v" ge "$version" && newer=1 && break
        done < <(awk -v n="$name" '$1 == n { print $2 }' <<<"$offered")
        [ "$newer" = 1 ] || echo "$name $version"
    done <<<"$installed"
}

# Downloads the i386 build of package $1 at version $2 from the archive that holds its amd64
# build (the pool keeps both side by side); prints the .deb's path.
fetch_i386_twin() {
    local name=$1 version=$2 filename uri deb
    filename=$(apt-cache show "$name:amd64=$version" 2>/dev/null | sed -n 's/^Filename: //p' | head -1)
    uri=$(apt-cache madison "$name:amd64" 2>/dev/null |
        awk -F' [|] ' -v v="$version" '$2 == v { split($3, a, " "); print a[1]; exit }')
    [ -n "$filename" ] && [ -n "$uri" ] || return 1
    mkdir -p "$deb_cache"
    deb="$deb_cache/$(basename "${filename%_amd64.deb}_i386.deb")"
    /usr/lib/apt/apt-helper download-file "${uri%/}/${filename%_amd64.deb}_i386.deb" "$deb" \
        >/dev/null 2>&1 || return 1
    # What arrived must be exactly the package asked for.
    if [ "$(dpkg-deb -f "$deb" Package 2>/dev/null)" != "$name" ] ||
        [ "$(dpkg-deb -f "$deb" Version 2>/dev/null)" != "$version" ] ||
        [ "$(dpkg-deb -f "$deb" Architecture 2>/dev/null)" != i386 ]; then
        rm -f "$deb"
        return 1
    fi
    echo "$deb"
}

try_wine32() {
    local log=/tmp/vendaro-wine32-install.log codename
    : >"$log"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
        updated=0
    fi
    apt_update
    # Never let this install remove anything (a version clash can make apt offer to remove
    # Wine itself).
    if apt_get install -y --no-install-recommends --no-remove wine32:i386 >>"$log" 2>&1; then
        return 0
    fi
    say "plain install of wine32:i386 failed; retrying with the release suite preferred"
    # shellcheck source=/dev/null
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
    local extra=() name version deb
    while read -r name version; do
        [ -n "$name" ] || continue
        if deb=$(fetch_i386_twin "$name" "$version"); then
            say "fetched $name:i386 $version to match the installed amd64 package"
            extra+=("$deb")
        else
            say "could not fetch $name:i386 $version"
        fi
    done < <(skewed_i386_dependencies)
    apt_get install -y --no-install-recommends --no-remove -t "$codename" wine32:i386 \
        "${extra[@]}" >>"$log" 2>&1
}

if wine32_present; then
    record installed
    /usr/lib/wine/wine --version >/dev/null 2>&1 ||
        say "32-bit Wine is installed but this kernel cannot run 32-bit programs:" \
            "the 32-bit Windows tests will not run"
elif [ "${VENDARO_NO_WINE32:-0}" = 1 ]; then
    say "32-bit Wine not installed (VENDARO_NO_WINE32=1)"
elif [ -f "$status_file" ] && grep -q '^failed' "$status_file" &&
    [ "${VENDARO_RETRY_WINE32:-0}" != 1 ]; then
    say "32-bit Wine not available ($(cat "$status_file")); VENDARO_RETRY_WINE32=1 tries again"
else
    need_root wine32:i386
    say "installing 32-bit Wine (wine32:i386)"
    if try_wine32 && wine32_present; then
        record installed
        say "32-bit Wine installed"
    else
        record "failed: apt-get could not install wine32:i386, see /tmp/vendaro-wine32-install.log"
        say "32-bit Wine could NOT be installed (see /tmp/vendaro-wine32-install.log):" \
            "the 32-bit Windows tests will not run; everything else is ready"
    fi
fi

# 32-bit Wine's odbc32 hands ODBC calls to the host's 32-bit unixODBC: without it vendaroctl.exe's
# connect finds no driver manager at all.
if wine32_present && [ -n "$(not_installed libodbc2:i386)" ]; then
    need_root libodbc2:i386
    apt_get install -y --no-install-recommends libodbc2:i386 >/tmp/vendaro-odbc32.log 2>&1 ||
        say "libodbc2:i386 could not be installed (see /tmp/vendaro-odbc32.log)"
fi
