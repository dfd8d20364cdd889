#!/bin/bash
# End-to-end test of vendaro.exe under Wine: the program runs from a folder of a fresh prefix
# next to a test vendaro.ini, with "<name> -ue" and "<name> -se" for one script of each
# driver; the registry is read back with `reg query` in the program's own view, the Windows
# directory's ODBC.INI is read back, and a fake driver setup library registered under every
# driver name records the installer's calls.
#
#   e2e.sh VENDARO.EXE FAKEDRIVER.DLL WORK_DIR
#
# Exit status: 0 all checks passed, 1 a check failed, 77 the Wine for the program's bitness is
# missing (ctest reports the test as not run).
set -u -o pipefail

exe=$1
dll=$2
work=$3
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../../.." && pwd)
wine_run=$repo/scripts/wine-run

passed=0
failed=0
pass() { passed=$((passed + 1)); }
fail() {
    failed=$((failed + 1))
    echo "FAILED: $*"
}

# The program's bitness, from the machine field of its PE header.
pe=$(od -An -tu4 -j60 -N4 "$exe" | tr -d ' ')
machine=$(od -An -tx2 -j$((pe + 4)) -N2 "$exe" | tr -d ' ')
case "$machine" in
    014c) bits=32 ;;
    8664) bits=64 ;;
    *)
        echo "e2e: $exe is not a Windows program ($machine)"
        exit 1
        ;;
esac
if [ "$bits" = 32 ] && ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo "e2e: 32-bit Wine (wine32:i386) is not installed: the 32-bit end-to-end run was NOT RUN"
    exit 77
fi
view=/reg:$bits
echo "e2e: ${bits}-bit vendaro.exe, registry view $view"

rm -rf "$work"
mkdir -p "$work"
export VENDARO_WINEPREFIX=$work/prefix
prefix=$("$wine_run" --prefix) || {
    echo "e2e: no Wine prefix"
    exit 1
}
trap '"$wine_run" --stop >/dev/null 2>&1; true' EXIT

reg() { "$wine_run" reg "$@" 2>/dev/null | tr -d '\r'; }

# --- the program's folder (a path with blanks: the command line quotes it) ---
appdir="$prefix/drive_c/Program Files/Vendaro Test"
mkdir -p "$appdir"
cp "$exe" "$appdir/vendaro.exe"
program="$appdir/vendaro.exe"
printf '%s\r\n' \
    '[Sales]' 'DSN_Driver=SQL Server' 'Description=Sales figures' 'Server=DBSRV01' \
    'Database=sales' 'Driver=C:\WINDOWS\System32\sqlsrv32.dll' 'LastUser=reports' '' \
    '[Inventory]' 'DSN_Driver=Adaptive Server Anywhere 6.0' 'Description=Warehouse stock' \
    'IsolationLevel=1' 'KeysInSQLStatistics=No' 'Delphi=No' 'PreventNotCapable=No' \
    'LazyAutoCommit=No' 'DescribeCursor=Yes' 'Integrated=No' 'UID=dba' 'PWD=}]rkshA' \
    'EngineName=inventory' 'Start=dbeng6 -c 8M' 'Database=inventory' \
    'DatabaseFile=C:\Data\inventory.db' 'AutoStart=Yes' 'AutoStop=Yes' \
    'CommLinks=TCPIP{host=10.0.0.5}' 'Encryption=No' 'LivenessTimeout=120' \
    'CommBufferSize=512' 'CommBufferSpace=5' 'ConnectionName=stock' \
    'DisableMultiRowFetch=No' 'Debug=No' '' \
    '[Orders]' 'DSN_Driver=Microsoft Access Driver (*.mdb)' 'Description=Order entry' \
    'DBQ=C:\Data\orders.mdb' 'DefaultDir=C:\Data' 'PageTimeout=5' 'MaxBufferSize=2048' \
    'Exclusive=1' 'ReadOnly=0' 'ExtendedAnsiSQL=1' 'UID=admin' 'PWD=}]rkshA' \
    'MaxScanRows=8.5' 'SafeTransactions=0' 'UserCommitSync=Yes' \
    'SystemDB=C:\Data\system.mdw' '' \
    '[Customers]' 'DSN_Driver=Microsoft dBase Driver (*.dbf)' 'Description=Customer files' \
    'FIL=dBase IV' 'DefaultDir=C:\Data\dbase' 'CollatingSequence=ASCII' 'PageTimeout=600' \
    'Exclusive=0' 'Deleted=1' 'Statistics=1' '' \
    '[Archive]' 'DSN_Driver=Microsoft Visual FoxPro Driver' 'Description=Old orders' \
    >"$appdir/vendaro.ini"

# --- the fake driver, registered in the program's view under every driver name ---
mkdir -p "$prefix/drive_c/fake"
cp "$dll" "$prefix/drive_c/fake/fakedriver.dll"
log="$prefix/drive_c/fake/configdsn.log"
: >"$log"
inst='HKEY_LOCAL_MACHINE\SOFTWARE\ODBC\ODBCINST.INI'
[ "$bits" = 32 ] && inst='HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node\ODBC\ODBCINST.INI'
drivers=("SQL Server" "Adaptive Server Anywhere 6.0" "Microsoft Access Driver (*.mdb)"
    "Microsoft dBase Driver (*.dbf)" "Microsoft Visual FoxPro Driver")
{
    printf 'REGEDIT4\r\n\r\n[%s\\ODBC Drivers]\r\n' "$inst"
    for d in "${drivers[@]}"; do printf '"%s"="Installed"\r\n' "$d"; done
    for d in "${drivers[@]}"; do
        printf '\r\n[%s\\%s]\r\n"Driver"="C:\\\\fake\\\\fakedriver.dll"\r\n' "$inst" "$d"
        printf '"Setup"="C:\\\\fake\\\\fakedriver.dll"\r\n'
    done
} >"$work/fakedriver.reg"
cp "$work/fakedriver.reg" "$prefix/drive_c/fake/fakedriver.reg"
"$wine_run" regedit /S 'C:\fake\fakedriver.reg' >/dev/null 2>&1

# --- checks ---

# The values of one key as "name|TYPE|data" lines, sorted; "<missing>" when there is no key.
values_of() {
    local out
    out=$(reg query "$1" "$2") || {
        echo "<missing>"
        return
    }
    printf '%s\n' "$out" | awk -F '    ' '/^    [^ ]/ { print $2 "|" $3 "|" $4 }' | LC_ALL=C sort
}

# expect_key ROOT PATH LINE...: the key holds exactly these values, by name, type and data.
expect_key() {
    local key="$1\\$2"
    shift 2
    local expected actual
    expected=$(printf '%s\n' "$@" | LC_ALL=C sort)
    actual=$(values_of "$key" "$view")
    if [ "$expected" = "$actual" ]; then
        pass
    else
        fail "$key ($view)"
        diff <(echo "$expected") <(echo "$actual") | sed 's/^/    /'
    fi
}

# run STATUS ARGS...: vendaro.exe ARGS exits with STATUS.
run() {
    local want=$1
    shift
    local start end
    start=$(date +%s%N)
    "$wine_run" "$program" "$@" </dev/null >/dev/null 2>&1
    local got=$?
    end=$(date +%s%N)
    echo "  vendaro.exe $* -> $got ($(((end - start) / 1000000)) ms)"
    if [ "$got" = "$want" ]; then pass; else fail "vendaro.exe $*: exit $got, expected $want"; fi
}

log_lines() { tr -d '\r' <"$log"; }

# expect_log LINE...: the fake driver's record holds exactly these calls.
expect_log() {
    local expected actual
    expected=$(printf '%s\n' "$@")
    [ $# = 0 ] && expected=
    actual=$(log_lines)
    if [ "$expected" = "$actual" ]; then
        pass
    else
        fail "installer calls"
        diff <(echo "$expected") <(echo "$actual") | sed 's/^/    /'
    fi
}

ini_value() { # FILE SECTION KEY
    tr -d '\r' <"$1" | awk -v s="[$2]" -v k="$3" '
        /^\[/ { in_section = ($0 == s); next }
        in_section && index($0, k "=") == 1 { print substr($0, length(k) + 2); exit }'
}

odbc_ini="$prefix/drive_c/windows/ODBC.INI"
expect_ini() { # SECTION KEY VALUE
    local got
    got=$(ini_value "$odbc_ini" "$1" "$2")
    if [ "$got" = "$3" ]; then pass; else fail "ODBC.INI [$1] $2: '$got', expected '$3'"; fi
}

jet='c:\windows\system32\odbcjt32.dll'
dsn='SOFTWARE\ODBC\ODBC.INI'

sales=('Database|REG_SZ|sales' 'Description|REG_SZ|Sales figures'
    'Driver|REG_SZ|C:\WINDOWS\System32\sqlsrv32.dll' 'LastUser|REG_SZ|reports'
    'Server|REG_SZ|DBSRV01')
inventory=('Description|REG_SZ|Warehouse stock' 'IsolationLevel|REG_SZ|1'
    'KeysInSQLStatistics|REG_SZ|No' 'Delphi|REG_SZ|No' 'PreventNotCapable|REG_SZ|No'
    'LazyAutoCommit|REG_SZ|No' 'DescribeCursor|REG_SZ|Yes' 'Integrated|REG_SZ|No'
    'UID|REG_SZ|dba' 'PWD|REG_SZ|secret7' 'EngineName|REG_SZ|inventory'
    'Start|REG_SZ|dbeng6 -c 8M' 'Database|REG_SZ|inventory'
    'DatabaseFile|REG_SZ|C:\Data\inventory.db' 'AutoStart|REG_SZ|Yes' 'AutoStop|REG_SZ|Yes'
    'CommLinks|REG_SZ|TCPIP{host=10.0.0.5}' 'Encryption|REG_SZ|No'
    'LivenessTimeout|REG_SZ|120' 'CommBufferSize|REG_SZ|512' 'CommBufferSpace|REG_SZ|5'
    'ConnectionName|REG_SZ|stock' 'Charset|REG_SZ|' 'DisableMultiRowFetch|REG_SZ|No'
    'LogFile|REG_SZ|' 'Debug|REG_SZ|No')
orders=('Description|REG_SZ|Order entry' 'DBQ|REG_SZ|C:\Data\orders.mdb' "Driver|REG_SZ|$jet"
    'DefaultDir|REG_SZ|C:\Data' 'DriverId|REG_DWORD|0x19' 'Exclusive|REG_NONE|01'
    'FIL|REG_SZ|MS Access;' 'PWD|REG_SZ|secret7' 'ReadOnly|REG_NONE|00'
    'ExtendedAnsiSQL|REG_NONE|01' 'SafeTransactions|REG_DWORD|0x0'
    'SystemDB|REG_SZ|C:\Data\system.mdw' 'UID|REG_SZ|admin')
orders_jet=('Driver|REG_SZ|' 'ImplicitCommitSync|REG_SZ|' 'MaxBufferSize|REG_DWORD|0x800'
    'MaxScanRows|REG_DWORD|0x8' 'PageTimeout|REG_DWORD|0x5' 'Threads|REG_DWORD|0x3'
    'UserCommitSync|REG_SZ|Yes')
customers=('Description|REG_SZ|Customer files' 'DefaultDir|REG_SZ|C:\Data\dbase'
    "Driver|REG_SZ|$jet" 'DriverId|REG_DWORD|0x115' 'FIL|REG_SZ|dBase IV;'
    'Exclusive|REG_NONE|00' 'SafeTransactions|REG_DWORD|0x0' 'UID|REG_SZ|')
customers_xbase=('ImplicitCommitSync|REG_SZ|' 'PageTimeout|REG_DWORD|0x258'
    'Threads|REG_DWORD|0x3' 'UserCommitSync|REG_SZ|Yes' 'CollatingSequence|REG_SZ|ASCII'
    'Deleted|REG_NONE|00' 'Statistics|REG_NONE|01')
sources=('Sales|REG_SZ|SQL Server' 'Inventory|REG_SZ|Adaptive Server Anywhere 6.0'
    'Orders|REG_SZ|Microsoft Access Driver (*.mdb)'
    'Customers|REG_SZ|Microsoft dBase Driver (*.dbf)'
    'Archive|REG_SZ|Microsoft Visual FoxPro Driver')

check_all() { # ROOT
    expect_key "$1" "$dsn\\Sales" "${sales[@]}"
    expect_key "$1" "$dsn\\Inventory" "${inventory[@]}"
    expect_key "$1" "$dsn\\Orders" "${orders[@]}"
    expect_key "$1" "$dsn\\Orders\\Engines\\Jet" "${orders_jet[@]}"
    expect_key "$1" "$dsn\\Customers" "${customers[@]}"
    expect_key "$1" "$dsn\\Customers\\Engines\\Xbase" "${customers_xbase[@]}"
    expect_key "$1" "$dsn\\Archive"
    expect_key "$1" "$dsn\\ODBC Data Sources" "${sources[@]}"
}

echo "User DSNs (-ue):"
run 0 Sales -ue
run 0 inventory -ue
run 0 ORDERS -ue
run 0 Customers -ue
run 0 Archive -ue
check_all HKEY_CURRENT_USER
expect_log '1|0|SQL Server|DSN=Sales' '1|0|Adaptive Server Anywhere 6.0|DSN=Inventory' \
    '1|0|Microsoft Access Driver (*.mdb)|DSN=Orders' \
    '1|0|Microsoft dBase Driver (*.dbf)|DSN=Customers' \
    '1|0|Microsoft Visual FoxPro Driver|DSN=Archive'
expect_ini 'ODBC 32 bit Data Sources' Orders 'Microsoft Access Driver (*.mdb) (32 bit)'
expect_ini 'ODBC 32 bit Data Sources' Customers 'Microsoft dBase Driver (*.dbf) (32 bit)'
expect_ini Orders Driver32 "$jet"
expect_ini Customers Driver32 "$jet"
if [ -n "$(ini_value "$odbc_ini" 'ODBC 32 bit Data Sources' Sales)" ]; then
    fail "ODBC.INI holds an entry for the SQL Server script"
else
    pass
fi

echo "System DSNs (-se):"
: >"$log"
rm -f "$odbc_ini"
run 0 Sales -se
run 0 Inventory -se
run 0 Orders -se
run 0 customers -se
run 0 Archive -se
check_all HKEY_LOCAL_MACHINE
expect_log # a System DSN never calls the installer
expect_ini 'ODBC 32 bit Data Sources' Orders 'Microsoft Access Driver (*.mdb) (32 bit)'
expect_ini Customers Driver32 "$jet"
# Where the 32-bit program's machine-wide data sources land in the 64-bit view.
if [ "$bits" = 32 ]; then
    wow='HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node\ODBC\ODBC.INI\Sales'
    if reg query "$wow" /reg:64 >/dev/null; then pass; else fail "$wow missing"; fi
else
    native='HKEY_LOCAL_MACHINE\SOFTWARE\ODBC\ODBC.INI\Sales'
    if reg query "$native" /reg:64 >/dev/null; then pass; else fail "$native missing"; fi
fi

echo "Failures:"
run 2 nosuch -ue
run 2 nosuch -se
if reg query 'HKEY_CURRENT_USER\SOFTWARE\ODBC\ODBC.INI\nosuch' "$view" >/dev/null; then
    fail "a key was created for a name no script has"
else
    pass
fi
# The Windows directory's ODBC.INI cannot be written: the writes fail, status 1.
rm -f "$odbc_ini"
mkdir "$odbc_ini"
run 1 Orders -se
rmdir "$odbc_ini"
expect_log

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
