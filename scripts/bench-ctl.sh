#!/usr/bin/env bash
# vendaroctl's check against vendaro's start-up, as processes, in the same run
# (bench/paired.py): on a generated library of SCRIPTS scripts (default 1,000) whose System data
# sources all exist (made first with vendaroctl apply), `vendaroctl check --system` (reads the
# library, builds every script's write list, reads odbc.ini, compares) against `vendaro`
# (start-up: reads the library, lists every script). Exits 1 when check takes more than 3 times
# the start-up.
#
#   scripts/bench-ctl.sh
#
# Environment: SCRIPTS (1000), RUNS (21), BUILD_DIR (build/bench, a release build).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build/bench}
scripts=${SCRIPTS:-1000}

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
echo "scripts $scripts, odbc.ini $(wc -c <"$work/etc/odbc.ini") bytes"
python3 "$root/bench/paired.py" --runs="${RUNS:-21}" --at-most=3 \
    "vendaroctl check" "$(printf '%q ' "$work/lib/vendaroctl" check --system)" \
    "vendaro start-up" "$(printf '%q' "$work/lib/vendaro")"
