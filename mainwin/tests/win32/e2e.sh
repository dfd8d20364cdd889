#!/bin/bash
# vendaro.exe end to end under Wine: in a folder of a fresh prefix beside a vendaro.ini, it
# creates User ("-ue") and System ("-se") DSNs unattended; the registry is read back in the
# program's own view, so is the Windows directory's ODBC.INI, and a fake driver setup library
# registered under the drivers' names records the installer's calls.
#
#   e2e.sh VENDARO.EXE FAKEDRIVER.DLL WORK_DIR
#
# Exit status: 0 passed, 1 failed, 77 the Wine for the program's bitness is missing (not run).
set -u -o pipefail
exe=$1 dll=$2 work=$3 failed=0
# shellcheck source=testing/win32/wine_e2e.sh
source "$(dirname "$0")/../../../testing/win32/wine_e2e.sh"
wine_e2e "$exe" "$work" e2e
# What ships in it besides code: the project's version and the common-controls 6 manifest.
same "the version" "$(grep -o 'project(vendaro VERSION [0-9.]*' "$root/CMakeLists.txt" | cut -d' ' -f3)" \
    "$(tr -d '\0' <"$exe" | grep -ao 'ProductVersion[0-9.]*' | sed 's/^ProductVersion//')"
grep -qaF 'Common-Controls" version="6.0.0.0"' "$exe" || fail "no common-controls 6 manifest"

# The program in a folder whose path has blanks (the command line quotes it), its scripts
# beside it, and the fake setup library registered under their drivers.
app="$prefix/drive_c/Program Files/Vendaro Test"
mkdir -p "$app" "$prefix/drive_c/fake" && cp "$exe" "$app/vendaro.exe"
cp "$dll" "$prefix/drive_c/fake/fakedriver.dll"
printf '%s\r\n' '[Sales]' 'DSN_Driver=SQL Server' 'Server=DBSRV01' '[Orders]' \
    'DSN_Driver=Microsoft Access Driver (*.mdb)' 'DBQ=C:\Data\orders.mdb' 'Exclusive=1' \
    'PWD=}]rkshA' >"$app/vendaro.ini"
for driver in 'SQL Server' 'Microsoft Access Driver (*.mdb)'; do for value in Driver Setup; do
    reg add "HKLM\\SOFTWARE\\ODBC\\ODBCINST.INI\\$driver" /v $value /d 'C:\fake\fakedriver.dll' /f
done; done >/dev/null
log=$prefix/drive_c/fake/configdsn.log ini=$prefix/drive_c/windows/ODBC.INI

run() { # STATUS ARGS...: vendaro.exe ARGS ends with STATUS
    "$wine_run" "$app/vendaro.exe" "${@:2}" </dev/null >/dev/null 2>&1
    same "the status of vendaro.exe ${*:2}" "$1" $?
}
# The data sources under ROOT, one "key: name type data" line per value.
dsns() {
    reg query "$1\\SOFTWARE\\ODBC\\ODBC.INI" /s | awk '/^HKEY/ { key = $0; sub(/.*ODBC.INI\\?/, "", key)
        next } NF { $1 = $1; print key ": " $0 }'
}

run 0 Sales -ue
run 0 orders -ue
dsns HKCU >"$work/user"
# Each kind of value as the program's view of the registry holds it; the write lists themselves
# are the Linux tests'.
for value in 'ODBC Data Sources: Orders REG_SZ Microsoft Access Driver (*.mdb)' \
    'Orders: DBQ REG_SZ C:\Data\orders.mdb' 'Orders: DriverId REG_DWORD 0x19' \
    'Orders: Exclusive REG_NONE 01' 'Orders: PWD REG_SZ secret7' 'Sales: Server REG_SZ DBSRV01' \
    'Orders\Engines\Jet: Threads REG_DWORD 0x3' 'Orders\Engines\Jet: UserCommitSync REG_SZ'; do
    grep -qxF "$value" "$work/user" || fail "no value $value"
done
same "the number of values" 27 "$(wc -l <"$work/user")"
same "the installer calls" "$(printf '1|0|%s\n' 'SQL Server|DSN=Sales' \
    'Microsoft Access Driver (*.mdb)|DSN=Orders')" "$(tr -d '\r' <"$log")"
same "ODBC.INI" "$(printf '%s\n' '[ODBC 32 bit Data Sources]' \
    'Orders=Microsoft Access Driver (*.mdb) (32 bit)' '[Orders]' \
    'Driver32=c:\windows\system32\odbcjt32.dll')" "$(tr -d '\r' <"$ini")"
rm -f "$log" "$ini"
run 0 Sales -se
run 0 Orders -se
same "the System DSNs" "$(cat "$work/user")" "$(dsns HKLM)"
same "the installer calls of System DSNs" "" "$(cat "$log" 2>/dev/null)"
[ -f "$ini" ] || fail "no ODBC.INI for the System DSN"
# Interactive: the driver's setup is asked to configure the data source over the main window.
"$wine_run" "$app/vendaro.exe" Sales -u </dev/null >/dev/null 2>&1 &
for _ in $(seq 100); do [ -s "$log" ] && break; sleep 0.2; done
kill $! 2>/dev/null
same "the installer call of vendaro.exe Sales -u" '2|1|SQL Server|DSN=Sales' "$(tr -d '\r' <"$log")"

rm -f "$ini" && mkdir "$ini" # the Windows directory's ODBC.INI cannot be written
run 1 Orders -se
exit $failed
