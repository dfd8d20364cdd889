#!/bin/bash
# vendaro.exe killed at random moments of unattended runs ("-ue") under Wine: the Windows
# directory's ODBC.INI, which holds the data sources of every ODBC program on the machine, is
# whole after every kill (as before the run, or with the run's entries added), and vendaro.ini
# is as it was.
#
#   kill_e2e.sh VENDARO.EXE WORK_DIR [KILLS]
#
# Exit status: 0 passed, 1 failed, 77 the Wine for the program's bitness is missing (not run).
set -u -o pipefail
exe=$1 work=$2 kills=${3:-40} failed=0
# shellcheck source=testing/win32/wine_e2e.sh
source "$(dirname "$0")/../../../testing/win32/wine_e2e.sh"
wine_e2e "$exe" "$work" kill_e2e
# The server runs outside the killed process groups.
"$wine_run" cmd /c exit 0 </dev/null >/dev/null 2>&1

app=$prefix/drive_c/app ini=$prefix/drive_c/windows/ODBC.INI
mkdir -p "$app" && cp "$exe" "$app/vendaro.exe"
printf '%s\r\n' '[Orders]' 'DSN_Driver=Microsoft Access Driver (*.mdb)' 'DBQ=C:\o.mdb' \
    >"$app/vendaro.ini"
cp "$app/vendaro.ini" "$work/scripts"
# Some 30,000 other data sources: a rewrite takes long enough for kills to land inside it.
awk 'BEGIN { printf "[ODBC 32 bit Data Sources]\r\n"
    for (i = 0; i < 30000; i++) printf "Other%d=Microsoft Access Driver (*.mdb) (32 bit)\r\n", i
    for (i = 0; i < 30000; i++) printf "[Other%d]\r\nDriver32=c:\\windows\\system32\\odbcjt32.dll\r\n", i
}' >"$work/before"
printf '%s\r\n' '[Orders]' 'Driver32=c:\windows\system32\odbcjt32.dll' >"$work/tail"

# Whole: the lines before, with this run's entry and section (at the end) or without them.
whole() {
    local file=$1
    [ -f "$file" ] || return 1
    sed -e "/^Orders=Microsoft Access Driver (\*\.mdb) (32 bit)\r\$/d" -e '/^\[Orders\]\r$/,$d' \
        "$file" | cmp -s - "$work/before" || return 1
    grep -q '^\[Orders\]' "$file" || return 0
    tail -c "$(wc -c <"$work/tail")" "$file" | cmp -s - "$work/tail" &&
        [ "$(grep -c '^\[Orders\]' "$file")" = 1 ]
}

# How long a whole run takes here: the kills fall anywhere in it, and a little after.
cp "$work/before" "$ini"
start=$(date +%s%N)
"$wine_run" "$app/vendaro.exe" Orders -ue </dev/null >/dev/null 2>&1
span=$((($(date +%s%N) - start) * 6 / 5000000)) # milliseconds
whole "$ini" || fail "a whole run left ODBC.INI otherwise than expected"

broken=0 changed=0
for ((k = 0; k < kills; k++)); do
    cp "$work/before" "$ini"
    setsid "$wine_run" "$app/vendaro.exe" Orders -ue </dev/null >/dev/null 2>&1 &
    pid=$!
    at=$(((RANDOM * 32768 + RANDOM) % span))
    sleep "$((at / 1000)).$(printf '%03d' $((at % 1000)))"
    kill -9 -- -"$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    whole "$ini" || { broken=$((broken + 1)) && cp "$ini" "$work/broken-$k"; }
    cmp -s "$ini" "$work/before" || changed=$((changed + 1))
done
[ $broken = 0 ] || fail "$broken of $kills kills left ODBC.INI cut or mixed (kept in $work)"
cmp -s "$app/vendaro.ini" "$work/scripts" || fail "vendaro.ini changed"
echo "kill_e2e: $kills kills, $changed left ODBC.INI changed, $broken broken"
# The kills landed both before and after the writes, not all on one side.
if [ "$changed" = 0 ] || [ "$changed" = "$kills" ]; then
    fail "the kills all fell on one side of the writes"
fi
exit $failed
