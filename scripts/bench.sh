#!/usr/bin/env bash
# Builds the benchmark programs in release (-O2 -DNDEBUG, as shipped), runs every measure on
# generated script libraries and writes the report (bench/report.py):
#   ARCH=linux (default)  100 to 100,000 scripts; docs/performance-data.tsv, the tables of
#                         docs/performance.md (between its bench-table markers), the plot
#                         docs/performance.png and docs/performance-raw.txt
#   ARCH=win64 or win32   the Windows programs under Wine, 100 to 10,000 scripts; the Windows
#                         table (between the bench-wine markers), docs/performance-wine-raw.txt
#
#   [ARCH=...] scripts/bench.sh
#
# Environment: SIZES, RUNS (11: timed runs of each measure, after one untimed warm-up),
# RUNS_LARGE (5: at 100,000 scripts), PEER_RUNS_LARGE (3: the peers at 100,000 scripts, which
# take seconds each), BUILD_DIR (build/bench, build/bench-$ARCH; a preset's Windows build works
# too), KEEP_WORK=1 keeps the generated libraries, NO_DOCS=1 prints the figures without touching
# docs/, FROM_RAW=file writes the docs from the output of an earlier run without running.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
arch=${ARCH:-linux}
runs=${RUNS:-11}
case "$arch" in
    linux) sizes=${SIZES:-"100 1000 10000 100000"} build=${BUILD_DIR:-$root/build/bench} settle=0.2 ;;
    win64 | win32) sizes=${SIZES:-"100 1000 10000"} build=${BUILD_DIR:-$root/build/bench-$arch} settle=3 ;;
    *) echo "bench: ARCH is linux, win64 or win32" >&2 && exit 2 ;;
esac
[[ -z "${FROM_RAW:-}" ]] || raw_input=$(realpath "$FROM_RAW")

if [[ "$arch" == linux ]]; then
    missing=()
    command -v gnuplot >/dev/null || missing+=(gnuplot-nox)
    command -v odbcinst >/dev/null || missing+=(unixodbc)
    command -v python3 >/dev/null || missing+=(python3)
    if ((${#missing[@]})); then
        echo "bench: installing ${missing[*]}" >&2
        apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
    fi
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/vendaro-bench.XXXXXX")
if [[ "${KEEP_WORK:-}" != 1 ]]; then trap 'rm -rf "$work"' EXIT; else echo "bench: work in $work" >&2; fi
raw=$work/raw.txt
mkdir -p "$work/empty"

# The Windows programs run under Wine and see a Unix path on drive Z:; their output ends in CR LF.
run() { if [[ "$arch" == linux ]]; then "$@"; else "$root/scripts/wine-run" "$@" | tr -d '\r'; fi; }
native_path() { if [[ "$arch" == linux ]]; then echo "$1"; else echo "Z:${1//\//\\}"; fi; }
exe() { if [[ "$arch" == linux ]]; then echo "$build/$1"; else echo "$build/$1.exe"; fi; }

if [[ -n "${FROM_RAW:-}" ]]; then
    cp "$raw_input" "$raw"
    sizes=""
elif [[ "$arch" == linux ]]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" \
        -DVENDARO_BENCH=ON >/dev/null
elif [[ -f "$build/CMakeCache.txt" ]]; then # a build of the preset: add the programs
    cmake -S "$root" -B "$build" -DVENDARO_BENCH=ON >/dev/null
else
    toolchain=$root/cmake/mingw-x86_64.cmake
    [[ "$arch" == win64 ]] || toolchain=$root/cmake/mingw-i686.cmake
    cmake -S "$root" -B "$build" --toolchain "$toolchain" -DCMAKE_BUILD_TYPE=Release \
        "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" -DVENDARO_BENCH=ON -DVENDARO_TESTS=OFF >/dev/null
fi
if [[ -z "${FROM_RAW:-}" ]]; then
    cmake --build "$build" --target bench_programs -j2 >/dev/null
    {
        echo "NOTE date $(date -u +%Y-%m-%dT%H:%M:%SZ)"
        echo "NOTE commit $(git -C "$root" rev-parse --short HEAD 2>/dev/null || echo unknown)"
        echo "NOTE cpu $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(nproc) cores"
        [[ "$arch" == linux ]] ||
            echo "NOTE wine $(/usr/lib/wine/wine64 --version 2>/dev/null || echo unknown), $arch programs"
        echo "NOTE load $(cut -d' ' -f1-3 /proc/loadavg)"
    } >"$raw"
fi

for n in $sizes; do
    lib=$work/lib-$n
    mkdir -p "$lib" "$work/odbc-$n"
    w=$(native_path "$lib")
    run "$(exe make_library)" --scripts="$n" --dir="$w" >>"$raw"
    target=$(sed -n "s/^TARGET $n //p" "$raw")
    cp "$(exe vendaro)" "$(exe read_split)" "$lib/"
    # A library is written long before the program starts: let it reach the disk and age (under
    # Wine past the file time's grain).
    sync
    sleep "$settle"
    r=$runs pr=$runs
    if ((n >= 100000)); then r=${RUNS_LARGE:-5} pr=${PEER_RUNS_LARGE:-3}; fi
    echo "bench: $n scripts" >&2
    # The in-process measures repeat a command in one process. glibc's own choice of whether a
    # freed block goes back to the kernel (it moves with the sizes freed so far) would decide
    # whether each run takes a page fault per 4 KB; fixed thresholds make every measure, the
    # floor included, reuse its memory alike. The process measures below run as shipped.
    [[ "$arch" != linux ]] ||
        export GLIBC_TUNABLES=glibc.malloc.mmap_threshold=33554432:glibc.malloc.trim_threshold=67108864
    for bench in store_bench startup_bench save_bench; do
        run "$(exe "$bench")" --dir="$w" --scripts="$n" --runs="$r"
    done >>"$raw"
    unset GLIBC_TUNABLES
    sync
    sleep "$settle"
    if [[ "$arch" != linux ]]; then
        {
            run "$(exe proc_time)" --measure=floor_proc --scripts="$n" --runs="$r" -- \
                "$w\\read_split.exe" "$w\\vendaro.ini"
            run "$(exe proc_time)" --measure=unattended_proc --scripts="$n" --runs="$r" -- \
                "$w\\vendaro.exe" "$target" -se
        } >>"$raw"
        continue
    fi
    {
        run "$(exe proc_time)" --measure=startup_proc --scripts="$n" --runs="$r" -- "$lib/vendaro"
        # Every run creates the DSN in an odbc.ini that does not exist yet.
        ODBCINI=$work/odbc-$n/odbc.ini ODBCSYSINI=$work/odbc-$n \
            run "$(exe proc_time)" --measure=unattended --scripts="$n" --runs="$r" \
            --remove="$work/odbc-$n/odbc.ini" -- "$lib/vendaro" "$target -ue"
        ODBCINI=$lib/odbc.ini ODBCSYSINI=$work/empty \
            run "$(exe proc_time)" --measure=odbcinst --scripts="$n" --runs="$pr" -- odbcinst -q -s
        run "$(exe proc_time)" --measure=configparser --scripts="$n" --runs="$pr" -- \
            python3 "$root/bench/configparser_peer.py" "$lib/vendaro.ini"
    } >>"$raw"
    rm -f "$lib/odbc.ini"
done

if [[ "${NO_DOCS:-}" == 1 ]]; then
    cat "$raw"
elif [[ "$arch" == linux ]]; then
    python3 "$root/bench/report.py" native "$raw" "$root/docs" "$work"
    gnuplot "$work/plot.gp"
    cp "$raw" "$root/docs/performance-raw.txt"
    echo "bench: wrote docs/performance.md, docs/performance-data.tsv, docs/performance.png" >&2
else
    python3 "$root/bench/report.py" wine "$raw" "$root/docs"
    cp "$raw" "$root/docs/performance-wine-raw.txt"
    echo "bench: wrote docs/performance.md and docs/performance-wine-raw.txt" >&2
fi
