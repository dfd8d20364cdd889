#!/usr/bin/env bash
# vendaroctl's check against vendaro's start-up, as processes, in the same run: on a generated
# library of SCRIPTS scripts (default 1,000) whose System data sources all exist (made first
# with vendaroctl apply), the median wall time of `vendaro` (start-up: reads the library, lists
# every script, prints the list) and of `vendaroctl check --system` (reads the library, builds
# every script's write list, reads odbc.ini, compares), and their ratio. Exits 1 when check
# takes more than 3 times the start-up.
#
#   scripts/bench-ctl.sh
#
# Environment: SCRIPTS (1000), RUNS (21), BUILD_DIR (build/bench, a release build).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build/bench}
scripts=${SCRIPTS:-1000}
runs=${RUNS:-21}

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" \
    -DVENDARO_BENCH=ON >/dev/null
cmake --build "$build" --target make_library vendaro vendaroctl -j2 >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/vendaroctl-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/lib" "$work/etc"
"$build/make_library" --scripts="$scripts" --dir="$work/lib" >/dev/null
rm -f "$work/lib/odbc.ini"
cp "$build/vendaro" "$build/vendaroctl" "$work/lib/"
export HOME=$work ODBCINI=$work/odbc.ini ODBCSYSINI=$work/etc

mapfile -t names < <(sed -n 's/\r$//; s/^\[\(.*\)\]$/\1/p' "$work/lib/vendaro.ini")
"$work/lib/vendaroctl" apply --system -- "${names[@]}" >/dev/null
"$work/lib/vendaroctl" check --system >/dev/null || {
    echo "bench-ctl: after apply, check does not find every data source in sync" >&2
    exit 1
}
sync

python3 - "$work/lib" "$runs" "$scripts" "$(wc -c <"$work/etc/odbc.ini")" <<'PY'
import resource, statistics, subprocess, sys, time
lib, runs, scripts, odbc_bytes = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4]
commands = {"vendaro start-up": [lib + "/vendaro"],
            "vendaroctl check": [lib + "/vendaroctl", "check", "--system"]}
wall = {name: [] for name in commands}
cpu = {name: [] for name in commands}
for run in range(runs + 1):  # the first, a warm-up, is not counted
    for name, argv in commands.items():
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        t0 = time.perf_counter()
        status = subprocess.run(argv, stdout=subprocess.DEVNULL).returncode
        elapsed = time.perf_counter() - t0
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        if status != 0:
            sys.exit(f"bench-ctl: {name} ended with status {status}")
        if run > 0:
            wall[name].append(elapsed)
            cpu[name].append(after.ru_utime + after.ru_stime - before.ru_utime - before.ru_stime)
print(f"scripts {scripts}, odbc.ini {odbc_bytes} bytes, {runs} runs each, medians "
      "(wall time; processor time, which a busy machine disturbs less):")
for name in commands:
    print(f"  {name:18} {statistics.median(wall[name]) * 1000:7.2f} ms"
          f"  {statistics.median(cpu[name]) * 1000:7.2f} ms")
ratio = statistics.median(wall["vendaroctl check"]) / statistics.median(wall["vendaro start-up"])
cpu_ratio = statistics.median(cpu["vendaroctl check"]) / statistics.median(cpu["vendaro start-up"])
print(f"  check / start-up   {ratio:7.2f}  {cpu_ratio:7.2f}   (at most 3)")
sys.exit(0 if ratio <= 3 else 1)
PY
