#!/usr/bin/env bash
# Times one User DSN written into a user's odbc.ini of 2,000 data sources: `vendaro NAME -ue`
# against unixODBC's own `odbcinst -i -s -h -f TEMPLATE` for the same data source, in one run,
# alternating, each from the same odbc.ini (bench/paired.py).
#
#   scripts/bench-odbcini.sh [path/to/vendaro]     (default: build/linux/vendaro)
#
# Environment: RUNS (31), SOURCES (2000: the data sources already in odbc.ini).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
program=$(realpath "${1:-$root/build/linux/vendaro}")
sources=${SOURCES:-2000}

work=$(mktemp -d "${TMPDIR:-/tmp}/vendaro-bench-odbc.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/opt" "$work/etc" "$work/tmp"
cp "$program" "$work/opt/vendaro"
printf '[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\nServer=srv1\r\n' \
    >"$work/opt/vendaro.ini"
printf '[Sales]\nDriver=SQL Server\nDescription=Sales figures\nServer=srv1\n' >"$work/template"
{
    echo "[ODBC Data Sources]"
    for ((i = 0; i < sources; i++)); do echo "User$i=PostgreSQL"; done
    echo
    for ((i = 0; i < sources; i++)); do
        printf '[User%d]\nDriver=PostgreSQL\nServername=db%d\nDatabase=d%d\nPort=5432\n\n' "$i" "$i" "$i"
    done
} >"$work/base.ini"

export HOME=$work ODBCINI=$work/.odbc.ini ODBCSYSINI=$work/etc TMPDIR=$work/tmp
python3 "$root/bench/paired.py" --runs="${RUNS:-31}" --reset="$work/base.ini:$work/.odbc.ini" \
    "vendaro Sales -ue" "$(printf '%q ' "$work/opt/vendaro" Sales -ue)" \
    "odbcinst -i -s -h" "$(printf '%q ' odbcinst -i -s -h -f "$work/template")"
