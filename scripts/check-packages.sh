#!/bin/bash
# Checks the packages that the package presets made (default folder: build/packages):
# - each Windows archive holds exactly its folder with vendaro.exe and vendaroctl.exe of the
#   right bitness, faq.fil, the example vendaro.ini and README.txt;
# - the Debian package holds exactly its files, with its fields and conffile, and lintian
#   passes it (its tags about /opt are overridden in the package, with their reasons);
# - installed with dpkg into a scratch root (with a package database that holds only the
#   packages it depends on, copied from this machine, so they count as installed),
#   /usr/bin/vendaro runs against the example library and creates a User DSN from each
#   script into a scratch odbc.ini; a local edit of the library survives a reinstall;
#   /usr/bin/vendaroctl finds the data sources in sync; `man -l` renders both manual pages
#   without a warning.
# The link /usr/bin/vendaro -> /opt/vendaro/vendaro is absolute, so the program runs in a
# private mount namespace that shows the scratch root's /opt as /opt. Nothing outside the
# scratch folder is written.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
packages=${1:-$repo/build/packages}
version=$(sed -n 's/^project(vendaro VERSION \([0-9.]*\).*/\1/p' "$repo/CMakeLists.txt")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() {
    echo "check-packages: FAILED: $*" >&2
    exit 1
}
same() { # same WHAT EXPECTED ACTUAL
    [ "$2" = "$3" ] || fail "$1"$'\n'"expected:"$'\n'"$2"$'\n'"actual:"$'\n'"$3"
}

# --- the Windows archives -----------------------------------------------------------------
for bits in 32 64; do
    zip=$packages/vendaro-$version-win$bits.zip
    top=vendaro-$version-win$bits
    [ -f "$zip" ] || fail "$zip is missing"
    same "the files of $zip" \
        "$(printf '%s\n' "$top/README.txt" "$top/faq.fil" "$top/vendaro.exe" "$top/vendaro.ini" \
            "$top/vendaroctl.exe")" \
        "$(unzip -Z1 "$zip" | grep -v '/$' | sort)"
    case $bits in
        32) kind='PE32 executable (GUI) Intel 80386' ;;
        64) kind='PE32+ executable (GUI) x86-64' ;;
    esac
    unzip -p "$zip" "$top/vendaro.exe" | file -b - | grep -q "^$kind" ||
        fail "$zip: vendaro.exe is not a $bits-bit Windows program"
    # vendaroctl.exe is a console program of the same bitness.
    unzip -p "$zip" "$top/vendaroctl.exe" | file -b - | grep -q "^${kind/GUI/console}" ||
        fail "$zip: vendaroctl.exe is not a $bits-bit Windows console program"
    unzip -p "$zip" "$top/vendaro.ini" | cmp -s - "$repo/examples/vendaro.ini" ||
        fail "$zip: vendaro.ini is not the example library"
    [ -n "$(unzip -p "$zip" "$top/faq.fil")" ] || fail "$zip: faq.fil is empty"
    unzip -p "$zip" "$top/README.txt" | grep -q "win$bits.zip" ||
        fail "$zip: README.txt does not name the archive"
    unzip -p "$zip" "$top/README.txt" | grep -qv $'\r$' && fail "$zip: README.txt has LF line ends"
    echo "check-packages: $(basename "$zip") ok"
done

# --- the Debian package -------------------------------------------------------------------
deb=$packages/vendaro_${version}_amd64.deb
[ -f "$deb" ] || fail "$deb is missing"
# Each file's mode and path, as packaging/deb-contents.txt lists them.
same "the files of $deb" "$(cat "$repo/packaging/deb-contents.txt")" \
    "$(dpkg-deb -c "$deb" | awk '{ $2 = $3 = $4 = $5 = ""; print }' | tr -s ' ' | sort -k2)"
same "the fields of $deb" "vendaro $version amd64" \
    "$(dpkg-deb -f "$deb" Package Version Architecture | awk '{ print $2 }' | paste -sd ' ')"
depends=$(dpkg-deb -f "$deb" Depends)
grep -q 'libodbcinst2' <<<"$depends" || fail "$deb does not depend on libodbcinst2: $depends"
same "the conffiles of $deb" /opt/vendaro/vendaro.ini \
    "$(dpkg-deb --ctrl-tarfile "$deb" | tar -xOf - ./conffiles)"
if command -v lintian >/dev/null; then
    lint_status=0
    lint=$(lintian --fail-on error,warning "$deb" 2>&1) || lint_status=$?
    lint=$(grep -v '^running with root privileges' <<<"$lint" || true)
    if [ "$lint_status" != 0 ] || [ -n "$lint" ]; then fail "lintian $deb:"$'\n'"$lint"; fi
    echo "check-packages: lintian passes $(basename "$deb")"
else
    echo "check-packages: lintian not installed (setup-deps.sh installs it): not run"
fi

# Installed into a scratch root.
root=$scratch/root
admin=$scratch/dpkg
mkdir -p "$root" "$admin/info" "$admin/updates" "$admin/triggers"
touch "$admin/available"
mapfile -t needed < <(sed 's/([^)]*)//g; s/|/,/g' <<<"$depends" | tr ',' '\n' | tr -d ' ' | sort -u)
for package in "${needed[@]}"; do
    { dpkg-query -s "$package:amd64" 2>/dev/null || dpkg-query -s "$package" 2>/dev/null; } ||
        fail "$deb needs $package, which is not installed here"
    echo
done >"$admin/status"
dpkg_scratch() { dpkg --instdir="$root" --admindir="$admin" "$@" >"$scratch/dpkg.log" 2>&1 ||
    { cat "$scratch/dpkg.log" >&2; fail "dpkg $*"; }; }
dpkg_scratch -i "$deb"
same "the link on PATH" /opt/vendaro/vendaro "$(readlink "$root/usr/bin/vendaro")"

# Runs the installed /usr/bin/vendaro with "$@", seeing the scratch root's /opt as /opt.
mkdir -p "$scratch/odbc/system"
export ODBCINI=$scratch/odbc/odbc.ini ODBCSYSINI=$scratch/odbc/system HOME=$scratch/odbc
# As root a mount namespace of its own; otherwise one inside a user namespace.
namespace=(unshare --mount --propagation private)
"${namespace[@]}" true 2>/dev/null || namespace=(unshare --user --map-root-user --mount)
"${namespace[@]}" true 2>/dev/null ||
    fail "cannot make a mount namespace (unshare) to run the installed program"
in_root() {
    # shellcheck disable=SC2016 # $0 and $@ belong to the inner shell
    "${namespace[@]}" sh -c 'mount --bind "$0/opt" /opt && exec "$@"' "$root" "$@"
}
vendaro=$root/usr/bin/vendaro
mapfile -t names < <(sed -n 's/\r$//; s/^\[\(.*\)\]$/\1/p' "$root/opt/vendaro/vendaro.ini")
[ "${#names[@]}" -gt 0 ] || fail "the installed example library holds no script"
for name in "${names[@]}"; do
    in_root "$vendaro" "$name" -ue || fail "vendaro $name -ue: exit status $?"
    grep -qxF "[$name]" "$ODBCINI" || fail "vendaro $name -ue did not create [$name] in $ODBCINI"
done
status=0
in_root "$vendaro" nobody -ue || status=$?
same "the exit status of vendaro nobody -ue" 2 "$status"
listing=$(in_root "$vendaro")
for name in "${names[@]}"; do
    grep -qF "	$name	" <<<"$listing" || fail "vendaro does not list $name:"$'\n'"$listing"
done

# A local edit of the library survives a reinstall of the package.
printf '\n[Local]\nDSN_Driver=SQL Server\nDescription=kept\n' >>"$root/opt/vendaro/vendaro.ini"
dpkg_scratch -i "$deb"
grep -qxF '[Local]' "$root/opt/vendaro/vendaro.ini" || fail "a reinstall overwrote vendaro.ini"
in_root "$vendaro" local -ue || fail "vendaro local -ue after the reinstall"
# vendaroctl from /usr/bin reads the same library: every script is in sync now.
in_root "$root/usr/bin/vendaroctl" check local || fail "vendaroctl check local: exit status $?"
echo "check-packages: $(basename "$deb") installs and runs from /usr/bin"

# The manual pages.
for program in vendaro vendaroctl; do
    page=$root/usr/share/man/man1/$program.1.gz
    warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man -l $page warns:"$'\n'"$warnings"
    text=$(MANWIDTH=80 man -P cat -l "$page" 2>/dev/null)
    for heading in NAME SYNOPSIS OPTIONS 'EXIT STATUS' ENVIRONMENT FILES; do
        grep -qx "$heading" <<<"$text" || fail "the manual page of $program has no $heading"
    done
    echo "check-packages: $program(1) renders"
done
