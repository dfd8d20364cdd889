#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) and runs each for a bounded time.
#
#   scripts/fuzz.sh [SECONDS_PER_TARGET] [extra libFuzzer flags...]
#
# SECONDS_PER_TARGET defaults to 60. Environment:
#   VENDARO_FUZZ_BUILD    build directory (default build/fuzz)
#   VENDARO_FUZZ_TARGETS  space-separated target names to run (default: every target)
#   VENDARO_FUZZ_JOBS     targets run at once (default: the number of cores)
#
# Each target (fuzz/<target>.cpp or fuzz/posix/<target>.cpp) starts from
# its seed corpus (fuzz/corpus/<target>/, never written to) and keeps what it
# finds in <build>/corpus/<target>/. A crash, leak, sanitizer report,
# timeout or broken invariant leaves its input in <build>/artifacts/ and makes the script exit
# 1 after every target has run. The last lines sum up the inputs run per target and in total.
set -u -o pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-60}"
shift || true
build="${VENDARO_FUZZ_BUILD:-$root/build/fuzz}"
case "$build" in /*) ;; *) build="$root/$build" ;; esac

if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -lt 1 ]; then
    echo "fuzz.sh: SECONDS_PER_TARGET must be a positive whole number" >&2
    exit 2
fi
# clang with its libFuzzer runtime (Debian's clang package brings both).
if ! command -v clang++ >/dev/null && [ "$(id -u)" -eq 0 ] && command -v apt-get >/dev/null; then
    echo "== fuzz: installing clang"
    DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300 -q install -y clang \
        >/dev/null || { apt-get -q update >/dev/null && DEBIAN_FRONTEND=noninteractive \
        apt-get -o DPkg::Lock::Timeout=300 -q install -y clang >/dev/null; }
fi
if ! command -v clang++ >/dev/null; then
    echo "fuzz.sh: clang++ not found (Debian package clang)" >&2
    exit 2
fi

echo "== fuzz: configuring and building in $build"
mkdir -p "$build/logs"
cmake -S "$root" -B "$build" -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DVENDARO_FUZZ=ON \
    >"$build/logs/configure.log" 2>&1 || {
    cat "$build/logs/configure.log" >&2
    exit 2
}
cmake --build "$build" --target fuzz_targets -j2 >"$build/logs/build.log" 2>&1 || {
    tail -n 60 "$build/logs/build.log" >&2
    exit 2
}

# fuzz/replay_main.cpp is not a target: it replays the corpora in the ordinary test build.
sources=()
for source in "$root"/fuzz/*.cpp "$root"/fuzz/posix/*.cpp; do
    [ -f "$source" ] && [ "${source##*/}" != replay_main.cpp ] && sources+=("${source#"$root"/}")
done
if [ "${#sources[@]}" -eq 0 ]; then
    echo "fuzz.sh: no fuzz targets found" >&2
    exit 2
fi

mkdir -p "$build/corpus" "$build/artifacts"
total=0
crashed=0
summary=()
# run_target SOURCE: runs one target; its exit status is the target's.
run_target() {
    local source=$1 name seeds work log
    name="$(basename "$source" .cpp)"
    seeds="$root/fuzz/corpus/$name"
    work="$build/corpus/$name"
    log="$build/logs/$name.log"
    mkdir -p "$work"
    local dirs=("$work")
    [ -d "$seeds" ] && dirs+=("$seeds")
    "$build/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$build/artifacts/$name-" "${extra[@]}" \
        "${dirs[@]}" >"$log" 2>&1
}

# Targets run VENDARO_FUZZ_JOBS at a time (default: one per core), each for its full time.
extra=("$@")
jobs="${VENDARO_FUZZ_JOBS:-$(nproc 2>/dev/null || echo 1)}"
names=()
pids=()
for source in "${sources[@]}"; do
    name="$(basename "$source" .cpp)"
    if [ -n "${VENDARO_FUZZ_TARGETS:-}" ] && ! [[ " $VENDARO_FUZZ_TARGETS " == *" $name "* ]]; then
        continue
    fi
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do sleep 1; done
    echo "== fuzz: $name for ${seconds}s"
    run_target "$source" &
    names+=("$name")
    pids+=($!)
done
for i in "${!names[@]}"; do
    name="${names[$i]}"
    log="$build/logs/$name.log"
    wait "${pids[$i]}"
    status=$?
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
    runs="${runs:-0}"
    total=$((total + runs))
    if [ "$status" -ne 0 ]; then
        crashed=$((crashed + 1))
        summary+=("$name: $runs inputs, FAILED (exit $status, log $log)")
        echo "-- $name failed; the end of its log:"
        tail -n 40 "$log"
    else
        summary+=("$name: $runs inputs, clean")
    fi
done

echo "== fuzz summary (${seconds}s per target)"
for line in "${summary[@]}"; do echo "   $line"; done
echo "   total: $total inputs; targets with a finding: $crashed"
[ "$crashed" -eq 0 ]
