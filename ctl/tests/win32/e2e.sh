#!/bin/bash
# vendaroctl.exe end to end under Wine, each command once, in a fresh prefix: the registry in
# the program's own view and the Windows directory's ODBC.INI are read back with Wine's own
# tools; data sources made by vendaroctl and by vendaro.exe -ue agree; connect to a data
# source whose driver is not installed gives the driver manager's message and status 1.
#
#   e2e.sh VENDAROCTL.EXE VENDARO.EXE WORK_DIR
#
# Exit status: 0 passed, 1 failed, 77 the Wine for the program's bitness is missing (not run).
set -u -o pipefail
ctl_exe=$1 vendaro_exe=$2 work=$3 failed=0
# shellcheck source=testing/win32/wine_e2e.sh
source "$(dirname "$0")/../../../testing/win32/wine_e2e.sh"
wine_e2e "$ctl_exe" "$work" e2e
# A console program: subsystem 3 in the optional header.
[ "$(od -An -tu2 -j$((pe + 92)) -N2 "$ctl_exe" | tr -d ' ')" = 3 ] || fail "not a console program"

app="$prefix/drive_c/Program Files/Vendaro Test"
mkdir -p "$app" && cp "$ctl_exe" "$app/vendaroctl.exe" && cp "$vendaro_exe" "$app/vendaro.exe"
printf '%s\r\n' '[Sales]' 'DSN_Driver=SQL Server' 'Server=DBSRV01' '[Orders]' \
    'DSN_Driver=Microsoft Access Driver (*.mdb)' 'DBQ=C:\Data\orders.mdb' 'Exclusive=1' \
    'PWD=}]rkshA' >"$app/vendaro.ini"
ini=$prefix/drive_c/windows/ODBC.INI

# STATUS ARGS...: vendaroctl.exe ARGS ends with STATUS; its output is in $work/out and err.
run() {
    "$wine_run" "$app/vendaroctl.exe" "${@:2}" </dev/null >"$work/out" 2>"$work/err"
    local status=$?
    [ "$status" = "$1" ] || fail "vendaroctl ${*:2} ended with $status, not $1: $(cat "$work/out" "$work/err")"
    tr -d '\r' <"$work/out" >"$work/out.txt" && mv "$work/out.txt" "$work/out"
}
out() { cat "$work/out"; }

run 3 check
same "check, all absent" "$(printf '%s\n' 'Sales   absent' 'Orders  absent')" "$(out)"
run 0 apply Sales Orders
same "apply" "$(printf '%s\n' 'Sales   absent: created' 'Orders  absent: created')" "$(out)"
reg query 'HKCU\SOFTWARE\ODBC\ODBC.INI\Orders' /v DriverId | grep -q 'REG_DWORD *0x19' ||
    fail "apply wrote no DriverId in the program's view"
grep -q '^Driver32=' "$ini" || fail "apply wrote no ODBC.INI entry"
"$wine_run" "$app/vendaro.exe" Sales -se </dev/null >/dev/null 2>&1 || fail "vendaro.exe Sales -se"
run 0 check Sales --system
same "vendaro.exe -se checked" "Sales  in sync" "$(out)"

# A drifted value: diff names it, by the kinds of the program's view of the registry.
reg add 'HKCU\SOFTWARE\ODBC\ODBC.INI\Orders' /v Exclusive /t REG_DWORD /d 1 /f >/dev/null
run 3 diff Orders
grep -qE 'Exclusive +kind differs +want "1" \(flag byte\), found "1" \(number\)' "$work/out" ||
    fail "diff printed: $(out)"

run 0 export Sales
grep -qx 'REGEDIT4' "$work/out" || fail "export printed: $(out)"
grep -qxF '"Server"="DBSRV01"' "$work/out" || fail "export printed: $(out)"

# connect: SQL Server has no driver in this prefix.
run 1 connect Sales --timeout 5
grep -q 'IM002' "$work/err" || fail "connect without a driver: $(cat "$work/err")"

run 0 remove Orders
reg query 'HKCU\SOFTWARE\ODBC\ODBC.INI\Orders' >/dev/null && fail "remove left the key"
reg query 'HKCU\SOFTWARE\ODBC\ODBC.INI\ODBC Data Sources' | grep -q Orders &&
    fail "remove left the entry of Orders"
grep -q 'Orders' "$ini" && fail "remove left the ODBC.INI entries: $(cat "$ini")"

run 0 --help
grep -q '^usage: vendaroctl' "$work/out" || fail "--help printed: $(out)"

exit $failed
