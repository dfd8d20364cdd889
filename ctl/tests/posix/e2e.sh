#!/bin/bash
# vendaroctl end to end on Linux, each command once, against unixODBC's files in a scratch
# folder (HOME, ODBCINI, ODBCSYSINI) and Debian's SQLite3 ODBC driver, registered in a scratch
# odbcinst.ini under a driver name of the library: data sources made by `vendaroctl apply` and
# by `vendaro NAME -ue` agree, `vendaroctl connect` opens one against a real database file and
# isql reads a row through it.
#
#   e2e.sh VENDAROCTL VENDARO WORK_DIR
#
# Exit status: 0 passed, 1 failed, 77 the SQLite driver or isql is missing (not run; a
# failure when VENDARO_REQUIRE_TOOLS=1).
set -u -o pipefail
ctl_exe=$1 vendaro_exe=$2 work=$3 failed=0
driver=/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so
fail() { failed=1 && echo "FAILED: $*"; }
same() { [ "$2" = "$3" ] || fail "$1:"$'\n'"$(diff <(echo "$2") <(echo "$3"))"; } # WHAT WANT GOT
for tool in "$driver" "$(command -v isql)" "$(command -v sqlite3)"; do
    [ -f "$tool" ] || { echo "e2e: $tool missing (libsqliteodbc, unixodbc, sqlite3): NOT RUN" &&
        exit $((${VENDARO_REQUIRE_TOOLS:-0} == 1 ? 1 : 77)); }
done

rm -rf "$work" && mkdir -p "$work/opt" "$work/bin" "$work/etc"
cp "$ctl_exe" "$vendaro_exe" "$work/opt/"
ln -s ../opt/vendaroctl "$work/bin/vendaroctl"
export HOME=$work ODBCINI=$work/odbc.ini ODBCSYSINI=$work/etc
cd "$work" || exit 1
sqlite3 shop.db "create table item (name text); insert into item values ('widget');"
printf '[SQL Server]\nDriver=%s\n' "$driver" >etc/odbcinst.ini
library() {
    printf '%s\r\n' '[Shop]' 'DSN_Driver=SQL Server' 'Description=The shop' \
        "Database=$work/shop.db" 'Driver=SQL Server' '[Stock]' 'DSN_Driver=SQL Server' \
        "Database=$work/shop.db" 'Driver=SQL Server' '[Orders]' \
        'DSN_Driver=Microsoft Access Driver (*.mdb)' 'PWD=}]rkshA'
}
library >opt/vendaro.ini

# STATUS ARGS...: bin/vendaroctl ARGS ends with STATUS; its output is in out and err.
run() {
    bin/vendaroctl "${@:2}" >out 2>err
    same "the status of vendaroctl ${*:2}" "$1" $?
}

# check: every script absent (the library beside the program, found through a link).
run 3 check
same "check, all absent" "$(printf '%s\n' 'Shop    absent' 'Stock   absent' 'Orders  absent')" "$(cat out)"

# apply: made once; vendaro -ue makes the same data source.
run 0 apply Shop
same "apply" "Shop  absent: created" "$(cat out)"
opt/vendaro Stock -ue || fail "vendaro Stock -ue: status $?"
run 0 check shop stock
same "check after apply and vendaro -ue" "$(printf '%s\n' 'Shop   in sync' 'Stock  in sync')" "$(cat out)"
# An Access data source: on Linux no Windows directory's ODBC.INI entries are written or
# looked for.
run 0 apply Orders --system
run 0 check Orders --system
[ -z "$(find . -name '*ODBC.INI')" ] || fail "apply wrote an ODBC.INI: $(find . -name '*ODBC.INI')"

# connect: a real connection through the driver manager; isql reads a row through it.
run 0 connect Shop --timeout 5
grep -qE '^Shop: connected to SQLite 3\.' out || fail "connect printed: $(cat out err)"
echo 'select name from item' | isql -b -v Shop >isql.out 2>&1 || fail "isql: $(cat isql.out)"
grep -q widget isql.out || fail "isql read no row: $(cat isql.out)"
run 1 connect Orders
grep -q 'IM002' err || fail "connect to a data source without a driver: $(cat err)"

# diff sees a changed value (odbc.ini's text, not the registry's string).
sed -i 's/^Description=The shop$/Description=changed/' odbc.ini
run 3 diff Shop
grep -qE 'Description +different +want "The shop" \(string\), found "changed" \(text\)' out ||
    fail "diff printed: $(cat out)"

# export: the fragment apply writes, the password as a comment.
run 0 export Orders
grep -qx ';PWD=(hidden)' out || fail "export printed: $(cat out)"

# remove: the section goes (what else it leaves is odbc_read_test's).
run 0 remove Shop
grep -q '^\[Shop\]' odbc.ini && fail "remove left [Shop]"

# --system writes the system's odbc.ini; --help; the library is never written.
run 0 apply Shop --system
grep -q '^\[Shop\]' etc/odbc.ini || fail "apply --system did not write $ODBCSYSINI/odbc.ini"
run 0 --help
grep -q '^usage: vendaroctl' out || fail "--help printed: $(cat out)"
bin/vendaroctl --help >/dev/full 2>err
same "--help to a full disk" "1 vendaroctl: the output could not be written (a full disk or a closed pipe)" "$? $(cat err)"
cmp -s opt/vendaro.ini <(library) || fail "the library was written"
exit $failed
