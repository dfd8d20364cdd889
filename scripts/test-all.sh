#!/bin/bash
# Builds and runs every test: the Linux build, the sanitizer build (ASan + UBSan), and the
# Windows builds, whose tests run under Wine (64-bit always; 32-bit where 32-bit Wine is
# installed, else the 32-bit build is still compiled), then makes and checks the packages.
# Among the Linux tests: vendaroctl's with Debian's SQLite3 ODBC driver (vendaroctl_e2e) and
# its Ansible playbook run against this machine (vendaroctl_ansible); a missing tool makes
# them fail here rather than skip (VENDARO_REQUIRE_TOOLS).
# Installs what is missing first.
# Exits non-zero when anything fails to configure, build or pass.
#
# VENDARO_BUILD_ROOT puts the build folders elsewhere (default: build/ of the repository).
set -uo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo" || exit 2
build_root=${VENDARO_BUILD_ROOT:-$repo/build}
jobs=2
# setup-deps.sh installs every tool the tests use: a test may not skip for want of one.
export VENDARO_REQUIRE_TOOLS=1
started=$SECONDS
failures=()
summary=()

"$repo/scripts/setup-deps.sh" || {
    echo "test-all: installing the dependencies failed" >&2
    exit 1
}

# run_preset PRESET yes|no: configures and builds the preset; runs its tests when asked.
run_preset() {
    local preset=$1 run_tests=$2 dir="$build_root/$1" t0=$SECONDS
    echo
    echo "=== $preset: configure and build ($dir)"
    if ! cmake --preset "$preset" -B "$dir" >"$build_root/$preset-configure.log" 2>&1; then
        cat "$build_root/$preset-configure.log"
        failures+=("$preset: configure")
        summary+=("$(printf '%-6s %4d s  configure FAILED' "$preset" $((SECONDS - t0)))")
        return
    fi
    if ! cmake --build "$dir" -j"$jobs"; then
        failures+=("$preset: build")
        summary+=("$(printf '%-6s %4d s  build FAILED' "$preset" $((SECONDS - t0)))")
        return
    fi
    if [ "$run_tests" = yes ]; then
        echo "=== $preset: tests"
        # Every test has a TIMEOUT of its own; --timeout covers any that would not.
        if ! ctest --test-dir "$dir" -j"$jobs" --timeout 300 --output-on-failure; then
            failures+=("$preset: tests")
        fi

        case "$preset" in win*) "$repo/scripts/wine-run" --stop "$dir" ;; esac
    fi
    summary+=("$(printf '%-6s %4d s' "$preset" $((SECONDS - t0)))")
}

mkdir -p "$build_root"
# The build folders take about 3 GB; a disk that fills shows up as a compiler's error otherwise.
free_mb=$(df -Pm "$build_root" | awk 'NR == 2 { print $4 }')
[ "${free_mb:-0}" -ge 3500 ] ||
    echo "test-all: only ${free_mb} MB free under $build_root; the build folders take about 3 GB" >&2
echo "=== layers: includes point down the layout"
"$repo/scripts/check-layers.sh" || failures+=("layers")
echo "=== style: clang-format and shellcheck clean"
mapfile -t cxx_files < <(git ls-files '*.cpp' '*.h')
mapfile -t shell_files < <(git ls-files '*.sh' scripts/wine-run .ci/run)
{ clang-format --dry-run -Werror "${cxx_files[@]}" && shellcheck "${shell_files[@]}"; } ||
    failures+=("style")
# 32-bit Wine may be installed on a kernel that cannot run 32-bit programs.
wine32_runs=no
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    wine32_runs=yes
elif [ -x /usr/lib/wine/wine ]; then
    echo "wine32:i386" "is installed but cannot run here (the kernel runs no 32-bit programs)" \
        >"$build_root/wine32-runs"
fi
run_preset linux yes
run_preset asan yes
run_preset win64 yes
if [ "$wine32_runs" = yes ]; then
    run_preset win32 yes
else
    echo
    echo "32-bit Wine not available: 32-bit Windows tests not run"
    [ -f "$repo/build/wine32-status" ] && echo "  ($(cat "$repo/build/wine32-status"))"
    [ -f "$build_root/wine32-runs" ] && echo "  ($(cat "$build_root/wine32-runs"))"
    run_preset win32 no
fi

# The packages for users, from the linux, win32 and win64 trees just built (seconds), and their
# checks: file lists, lintian, the .deb installed into a scratch root and run, the manual page.
echo
echo "=== packages: make and check ($build_root/packages)"
t0=$SECONDS
if VENDARO_BUILD_ROOT="$build_root" "$repo/scripts/package.sh" &&
    "$repo/scripts/check-packages.sh" "$build_root/packages"; then
    summary+=("$(printf '%-6s %4d s' pkg $((SECONDS - t0)))")
else
    failures+=("packages")
    summary+=("$(printf '%-6s %4d s  FAILED' pkg $((SECONDS - t0)))")
fi

# Fuzzing: each libFuzzer target for about a minute (scripts/fuzz.sh; longer runs by hand).
echo
echo "=== fuzz: each target for 60 s"
t0=$SECONDS
if VENDARO_FUZZ_BUILD="$build_root/fuzz" "$repo/scripts/fuzz.sh" 60; then
    summary+=("$(printf '%-6s %4d s' fuzz $((SECONDS - t0)))")
else
    failures+=("fuzz")
    summary+=("$(printf '%-6s %4d s  FAILED' fuzz $((SECONDS - t0)))")
fi

echo
echo "=== summary"
printf '  %s\n' "${summary[@]}"
echo "  total  $((SECONDS - started)) s"
if [ "$wine32_runs" = yes ]; then
    echo "  32-bit Windows tests: run under 32-bit Wine"
else
    echo "  32-bit Windows tests: NOT run (32-bit Wine not installed or not runnable here); the 32-bit build compiled"
fi
if [ "${#failures[@]}" -gt 0 ]; then
    echo "FAILED:"
    printf '  %s\n' "${failures[@]}"
    exit 1
fi
echo "All builds and tests passed."
