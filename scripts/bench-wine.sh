#!/usr/bin/env bash
# The Windows benchmarks under Wine: builds the benchmark programs and vendaro.exe for Windows
# (release, as shipped), runs them on generated libraries of 100, 1,000 and 10,000 scripts and
# writes the Windows table of docs/performance.md (between its bench-wine markers) and
# docs/performance-wine-raw.txt.
#
#   scripts/bench-wine.sh
#
# Environment: ARCH (win64, or win32 for the 32-bit program), SIZES ("100 1000 10000"),
# RUNS (11), BUILD_DIR (build/bench-$ARCH; a preset's build, e.g. build/win64, works too),
# WINE_RUN (scripts/wine-run: what runs a Windows program), NO_DOCS=1 prints the figures without touching docs/, FROM_RAW=file
# writes the docs from an earlier run's output.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
arch=${ARCH:-win64}
build=${BUILD_DIR:-$root/build/bench-$arch}
sizes=${SIZES:-"100 1000 10000"}
runs=${RUNS:-11}
case "$arch" in
win64) toolchain=$root/cmake/mingw-x86_64.cmake ;;
win32) toolchain=$root/cmake/mingw-i686.cmake ;;
*) echo "bench-wine: ARCH is win64 or win32" >&2; exit 2 ;;
esac

work=$(mktemp -d "${TMPDIR:-/tmp}/vendaro-bench-wine.XXXXXX")
trap 'rm -rf "$work"' EXIT
raw=$work/raw.txt
run() { "${WINE_RUN:-$root/scripts/wine-run}" "$@"; }
# A Unix path as the Windows programs see it (Wine's drive Z: is the root).
winpath() { echo "Z:${1//\//\\}"; }

if [[ -n "${FROM_RAW:-}" ]]; then
    cp "$FROM_RAW" "$raw"
else
    if [[ -f "$build/CMakeCache.txt" ]]; then  # a build of the preset: add the programs
        cmake -S "$root" -B "$build" -DVENDARO_BENCH=ON >/dev/null
    else
        cmake -S "$root" -B "$build" --toolchain "$toolchain" -DCMAKE_BUILD_TYPE=Release \
            "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" -DVENDARO_BENCH=ON -DVENDARO_TESTS=OFF >/dev/null
    fi
    cmake --build "$build" --target bench_programs -j2 >/dev/null
    {
        echo "NOTE date $(date -u +%Y-%m-%dT%H:%M:%SZ)"
        echo "NOTE commit $(git -C "$root" rev-parse --short HEAD 2>/dev/null || echo unknown)"
        echo "NOTE cpu $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(nproc) cores"
        echo "NOTE wine $(/usr/lib/wine/wine64 --version 2>/dev/null || wine --version 2>/dev/null || echo unknown), $arch programs"
        echo "NOTE load $(cut -d' ' -f1-3 /proc/loadavg)"
    } >"$raw"
    for n in $sizes; do
        lib=$work/lib-$n
        mkdir -p "$lib"
        w=$(winpath "$lib")
        run "$build/make_library.exe" --scripts="$n" --dir="$w" | tr -d '\r' >>"$raw"
        target=$(sed -n "s/^TARGET $n //p" "$raw")
        cp "$build/vendaro.exe" "$build/read_split.exe" "$lib/"
        # A library is written long before the program starts: let it age past the time grain.
        sleep 3
        echo "bench-wine: $n scripts" >&2
        for bench in store_bench startup_bench save_bench; do
            run "$build/$bench.exe" --dir="$w" --scripts="$n" --runs="$runs" | tr -d '\r'
        done >>"$raw"
        sleep 3
        run "$build/proc_time.exe" --measure=floor_proc --scripts="$n" --runs="$runs" -- \
            "$w\\read_split.exe" "$w\\vendaro.ini" | tr -d '\r' >>"$raw"
        run "$build/proc_time.exe" --measure=unattended_proc --scripts="$n" --runs="$runs" -- \
            "$w\\vendaro.exe" "$target" -se | tr -d '\r' >>"$raw"
    done
fi

if [[ "${NO_DOCS:-}" == 1 ]]; then
    cat "$raw"
    exit 0
fi

python3 "$root/bench/report.py" wine "$raw" "$root/docs"
cp "$raw" "$root/docs/performance-wine-raw.txt"
echo "bench-wine: wrote docs/performance.md and docs/performance-wine-raw.txt" >&2
