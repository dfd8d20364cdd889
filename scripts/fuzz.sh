#!/usr/bin/env bash
# Builds the libFuzzer targets (the fuzz preset: clang, ASan + UBSan) and runs them all at once,
# each for SECONDS (default 60), from its seed corpus (fuzz/corpus/<target>/, never written to);
# what a target finds is kept in BUILD/corpus/<target>/. A crash, leak, sanitizer report, timeout
# or broken invariant leaves its input in BUILD/artifacts/ and makes the script exit 1.
#
#   scripts/fuzz.sh [SECONDS [libFuzzer flags...]]    VENDARO_FUZZ_BUILD: BUILD (build/fuzz)
set -u -o pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-60}" && shift
build="${VENDARO_FUZZ_BUILD:-$root/build/fuzz}"
[[ "$seconds" =~ ^[1-9][0-9]*$ ]] || { echo "fuzz.sh: SECONDS must be a whole number" >&2 && exit 2; }
command -v clang++ >/dev/null || { echo "fuzz.sh: clang++ is missing (scripts/setup-deps.sh)" >&2 && exit 2; }

mkdir -p "$build/logs" "$build/artifacts"
echo "== fuzz: building in $build"
{ (cd "$root" && cmake --preset fuzz -B "$build") && cmake --build "$build" --target fuzz_targets -j2; } \
    >"$build/logs/build.log" 2>&1 || { tail -n 60 "$build/logs/build.log" >&2 && exit 2; }

# Every target but fuzz/replay_main.cpp, which replays the corpora in the test builds.
names=() pids=()
for source in "$root"/fuzz/*.cpp "$root"/fuzz/posix/*.cpp; do
    name=$(basename "$source" .cpp)
    [ "$name" = replay_main ] && continue
    mkdir -p "$build/corpus/$name"
    seeds=() && [ -d "$root/fuzz/corpus/$name" ] && seeds=("$root/fuzz/corpus/$name")
    "$build/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$build/artifacts/$name-" "$@" "$build/corpus/$name" "${seeds[@]}" \
        >"$build/logs/$name.log" 2>&1 &
    names+=("$name") pids+=($!)
done

echo "== fuzz: ${#names[@]} targets for ${seconds}s each"
total=0 failed=0
for i in "${!names[@]}"; do
    name=${names[$i]} log="$build/logs/${names[$i]}.log"
    wait "${pids[$i]}" && status=0 || status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    total=$((total + ${runs:-0}))
    if [ "$status" -eq 0 ]; then
        echo "   $name: ${runs:-0} inputs, clean"
    else
        failed=$((failed + 1))
        echo "   $name: ${runs:-0} inputs, FAILED (exit $status); the end of $log:" && tail -n 40 "$log"
    fi
done
echo "   total: $total inputs; targets with a finding: $failed"
[ "$failed" -eq 0 ]
