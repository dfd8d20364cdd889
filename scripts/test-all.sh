#!/bin/bash
# Builds and runs every test: the include layers and the style, the Linux build, the sanitizer
# build (ASan + UBSan), the Windows builds with their tests under Wine (64-bit always; 32-bit
# where 32-bit Wine runs, else the 32-bit build is only compiled), the packages and their
# checks, and a minute of each fuzz target. Among the Linux tests: vendaroctl's with Debian's
# SQLite3 ODBC driver and its Ansible playbook run against this machine; a missing tool makes
# them fail here rather than skip (VENDARO_REQUIRE_TOOLS).
# Installs what is missing first. Exits non-zero when anything fails to configure, build or pass.
#
# VENDARO_BUILD_ROOT puts the build folders elsewhere (default: build/ of the repository).
set -uo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo" || exit 2
build_root=${VENDARO_BUILD_ROOT:-$repo/build}
export VENDARO_REQUIRE_TOOLS=1
started=$SECONDS
failures=() summary=()

"$repo/scripts/setup-deps.sh" || {
    echo "test-all: installing the dependencies failed" >&2
    exit 1
}

# step NAME COMMAND...: runs one step, timed, and records whether it failed.
step() {
    local t0=$SECONDS status=ok
    echo
    echo "=== $1"
    "${@:2}" || {
        failures+=("$1")
        status=FAILED
    }
    summary+=("$(printf '%-8s %4d s  %s' "$1" $((SECONDS - t0)) "$status")")
}

# preset PRESET [test]: configures and builds the preset; runs its tests when asked.
preset() {
    local dir="$build_root/$1"
    cmake --preset "$1" -B "$dir" >"$build_root/$1-configure.log" 2>&1 ||
        { cat "$build_root/$1-configure.log" && return 1; }
    cmake --build "$dir" -j2 || return 1
    [ "${2:-}" = test ] || return 0
    # Every test has a TIMEOUT of its own; --timeout covers any that would not.
    ctest --test-dir "$dir" -j2 --timeout 300 --output-on-failure
    local status=$?
    case "$1" in win*) "$repo/scripts/wine-run" --stop "$dir" ;; esac
    return $status
}

style() {
    local cxx shell
    mapfile -t cxx < <(git ls-files '*.cpp' '*.h')
    mapfile -t shell < <(git ls-files '*.sh' scripts/wine-run .ci/run)
    clang-format --dry-run -Werror "${cxx[@]}" && shellcheck "${shell[@]}"
}

mkdir -p "$build_root"
# The build folders take about 3 GB; a disk that fills shows up as a compiler's error otherwise.
free_mb=$(df -Pm "$build_root" | awk 'NR == 2 { print $4 }')
[ "${free_mb:-0}" -ge 3500 ] ||
    echo "test-all: only ${free_mb} MB free under $build_root; the build folders take about 3 GB" >&2

step layers "$repo/scripts/check-layers.sh"
step style style
step linux preset linux test
step asan preset asan test
step win64 preset win64 test
# 32-bit Wine may be missing (see build/wine32-status), or installed on a kernel that cannot run
# 32-bit programs.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    wine32="run under 32-bit Wine"
    step win32 preset win32 test
else
    wine32="NOT run: 32-bit Wine is not installed or cannot run here ($(cat "$repo/build/wine32-status" 2>/dev/null)); the build compiled"
    step win32 preset win32
fi
# The packages for users from the trees just built (seconds), and their checks.
packages() {
    local p
    for p in linux win32 win64; do
        cpack --config "$build_root/$p/CPackConfig.cmake" -B "$build_root/packages" \
            >"$build_root/cpack-$p.log" 2>&1 || { cat "$build_root/cpack-$p.log" && return 1; }
    done
    "$repo/scripts/check-packages.sh" "$build_root/packages"
}
step pkg packages
# Every libFuzzer target at once for a minute (the fuzz preset's tests; longer runs by hand with
# -DVENDARO_FUZZ_SECONDS).
fuzz() {
    local dir="$build_root/fuzz"
    { cmake --preset fuzz -B "$dir" && cmake --build "$dir" --target fuzz_targets -j2; } \
        >"$build_root/fuzz-build.log" 2>&1 || { tail -n 60 "$build_root/fuzz-build.log" && return 1; }
    ctest --test-dir "$dir" -j8 --output-on-failure
}
step fuzz fuzz

echo
echo "=== summary"
printf '  %s\n' "${summary[@]}"
echo "  total    $((SECONDS - started)) s"
echo "  32-bit Windows tests: $wine32"
if [ "${#failures[@]}" -gt 0 ]; then
    printf 'FAILED: %s\n' "${failures[*]}"
    exit 1
fi
echo "All builds and tests passed."
