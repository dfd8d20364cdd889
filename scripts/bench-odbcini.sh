#!/usr/bin/env bash
# Times one User DSN written into a user's odbc.ini of 2,000 data sources: `vendaro NAME -ue`
# against unixODBC's own `odbcinst -i -s -h -f TEMPLATE` for the same data source, both in one
# run, alternating, and prints the median of each and their ratio.
#
#   scripts/bench-odbcini.sh [path/to/vendaro]     (default: build/linux/vendaro)
#
# Environment: RUNS (31), SOURCES (2000: the data sources already in odbc.ini).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
program=$(realpath "${1:-$root/build/linux/vendaro}")
runs=${RUNS:-31}
sources=${SOURCES:-2000}

work=$(mktemp -d "${TMPDIR:-/tmp}/vendaro-bench-odbc.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/opt" "$work/etc" "$work/tmp"
cp "$program" "$work/opt/vendaro"
printf '[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\nServer=srv1\r\n' \
    >"$work/opt/vendaro.ini"
printf '[Sales]\nDriver=SQL Server\nDescription=Sales figures\nServer=srv1\n' >"$work/template"
python3 - "$work/base.ini" "$sources" <<'PY'
import sys
path, n = sys.argv[1], int(sys.argv[2])
with open(path, "w") as f:
    f.write("[ODBC Data Sources]\n" + "".join(f"User{i}=PostgreSQL\n" for i in range(n)) + "\n")
    for i in range(n):
        f.write(f"[User{i}]\nDriver=PostgreSQL\nServername=db{i}\nDatabase=d{i}\nPort=5432\n\n")
PY

export HOME=$work ODBCINI=$work/.odbc.ini ODBCSYSINI=$work/etc TMPDIR=$work/tmp
python3 - "$work" "$runs" <<'PY'
import os, shutil, statistics, subprocess, sys, time
work, runs = sys.argv[1], int(sys.argv[2])
commands = {
    "vendaro Sales -ue": [f"{work}/opt/vendaro", "Sales", "-ue"],
    "odbcinst -i -s -h": ["odbcinst", "-i", "-s", "-h", "-f", f"{work}/template"],
}
times = {name: [] for name in commands}
for run in range(runs + 1):  # the first round warms the caches and is not counted
    for name, argv in commands.items():
        shutil.copyfile(f"{work}/base.ini", f"{work}/.odbc.ini")
        start = time.perf_counter()
        done = subprocess.run(argv, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        took = time.perf_counter() - start
        if done.returncode != 0:
            sys.exit(f"{name}: exit {done.returncode}: {done.stderr.decode()}")
        if run > 0:
            times[name].append(took)
medians = {name: statistics.median(t) * 1000 for name, t in times.items()}
for name, ms in medians.items():
    print(f"{name:20s} median {ms:7.2f} ms over {runs} runs")
print(f"ratio vendaro/odbcinst: {medians['vendaro Sales -ue'] / medians['odbcinst -i -s -h']:.2f}")
PY
