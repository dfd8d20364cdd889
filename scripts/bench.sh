#!/usr/bin/env bash
# Builds the benchmark programs in release and runs every measure on generated script libraries
# of 100, 1,000, 10,000 and 100,000 scripts, then writes docs/performance-data.tsv, the tables
# of docs/performance.md (between its bench-table markers) and the plot docs/performance.png.
#
#   scripts/bench.sh
#
# Environment: SIZES ("100 1000 10000 100000"), RUNS (11: timed runs of each measure, after
# one untimed warm-up), RUNS_LARGE (5: at 100,000 scripts), PEER_RUNS_LARGE (3: the peers at
# 100,000 scripts, which take seconds each), BUILD_DIR (build/bench), KEEP_WORK=1 keeps the
# generated libraries, NO_DOCS=1 prints the figures without touching docs/, FROM_RAW=file
# writes the docs from the output of an earlier run (docs/performance-raw.txt) without running.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build/bench}
sizes=${SIZES:-"100 1000 10000 100000"}
runs=${RUNS:-11}
runs_large=${RUNS_LARGE:-5}
peer_runs_large=${PEER_RUNS_LARGE:-3}

if [[ -n "${FROM_RAW:-}" ]]; then
    raw_input=$(cd "$(dirname "$FROM_RAW")" && pwd)/$(basename "$FROM_RAW")
fi

# --- tools ---
missing=()
command -v gnuplot >/dev/null || missing+=(gnuplot-nox)
command -v odbcinst >/dev/null || missing+=(unixodbc)
command -v python3 >/dev/null || missing+=(python3)
if ((${#missing[@]})); then
    echo "bench: installing ${missing[*]}" >&2
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/vendaro-bench.XXXXXX")
if [[ "${KEEP_WORK:-}" != 1 ]]; then trap 'rm -rf "$work"' EXIT; else echo "bench: work in $work" >&2; fi
raw=$work/raw.txt
mkdir -p "$work/empty"

if [[ -n "${FROM_RAW:-}" ]]; then
    cp "$raw_input" "$raw"
    sizes=""
else

# --- build: release, optimised as the shipped program is ---
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" \
    -DVENDARO_BENCH=ON >/dev/null
cmake --build "$build" --target bench_programs -j2 >/dev/null

{
    echo "NOTE date $(date -u +%Y-%m-%dT%H:%M:%SZ)"
    echo "NOTE commit $(git -C "$root" rev-parse --short HEAD 2>/dev/null || echo unknown)"
    echo "NOTE cpu $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(nproc) cores"
    echo "NOTE load $(cut -d' ' -f1-3 /proc/loadavg)"
} >"$raw"

for n in $sizes; do
    lib=$work/lib-$n
    mkdir -p "$lib" "$work/odbc-$n"
    "$build/make_library" --scripts="$n" --dir="$lib" >>"$raw"
    target=$(sed -n "s/^TARGET $n //p" "$raw")
    cp "$build/vendaro" "$lib/vendaro"
    # A library is written long before the program starts: let it reach the disk and age.
    sync
    sleep 0.2
    r=$runs
    pr=$runs
    if ((n >= 100000)); then
        r=$runs_large
        pr=$peer_runs_large
    fi
    echo "bench: $n scripts" >&2
    # The in-process measures repeat a command in one process. glibc's own choice of whether a
    # freed block goes back to the kernel (it moves with the sizes freed so far) would decide
    # whether each run takes a page fault per 4 KB; fixed thresholds make every measure, the
    # floor included, reuse its memory alike. The process measures below run as shipped.
    export GLIBC_TUNABLES=glibc.malloc.mmap_threshold=33554432:glibc.malloc.trim_threshold=67108864
    for bench in store_bench startup_bench save_bench; do
        "$build/$bench" --dir="$lib" --scripts="$n" --runs="$r"
    done >>"$raw"
    unset GLIBC_TUNABLES
    sync
    sleep 0.2
    {
        "$build/proc_time" --measure=startup_proc --scripts="$n" --runs="$r" -- "$lib/vendaro"
        # Every run creates the DSN in an odbc.ini that does not exist yet.
        ODBCINI=$work/odbc-$n/odbc.ini ODBCSYSINI=$work/odbc-$n \
            "$build/proc_time" --measure=unattended --scripts="$n" --runs="$r" \
            --remove="$work/odbc-$n/odbc.ini" -- "$lib/vendaro" "$target -ue"
        ODBCINI=$lib/odbc.ini ODBCSYSINI=$work/empty \
            "$build/proc_time" --measure=odbcinst --scripts="$n" --runs="$pr" -- odbcinst -q -s
        "$build/proc_time" --measure=configparser --scripts="$n" --runs="$pr" -- \
            python3 "$root/bench/configparser_peer.py" "$lib/vendaro.ini"
    } >>"$raw"
    rm -f "$lib/odbc.ini"
done

fi  # FROM_RAW

if [[ "${NO_DOCS:-}" == 1 ]]; then
    cat "$raw"
    exit 0
fi

# --- report: data file, tables, plot ---
python3 "$root/bench/report.py" native "$raw" "$root/docs" "$work"
gnuplot "$work/plot.gp"
cp "$raw" "$root/docs/performance-raw.txt"
echo "bench: wrote docs/performance.md, docs/performance-data.tsv, docs/performance.png" >&2
