#!/bin/bash
# Makes the packages for users into build/packages/:
#   vendaro-<version>-win32.zip, vendaro-<version>-win64.zip  the Windows program, faq.fil, an
#                                                             example vendaro.ini, README.txt
#   vendaro_<version>_amd64.deb                               the Linux program
# from the linux, win32 and win64 build trees, configured with their presets when missing.
# Only the program and the packaged files are built, never the tests: after
# scripts/test-all.sh, which leaves those trees built, this takes seconds.
#
# package.sh [PRESET...]  only the packages of these presets (default: linux win32 win64).
# VENDARO_BUILD_ROOT: where the build trees are (default build/); packages go to its packages/.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
build_root=${VENDARO_BUILD_ROOT:-$repo/build}
out=$build_root/packages
presets=("$@")
[ "${#presets[@]}" -gt 0 ] || presets=(linux win32 win64)

mkdir -p "$out"
for preset in "${presets[@]}"; do
    dir=$build_root/$preset
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        echo "package: configuring $preset ($dir)"
        cmake --preset "$preset" -B "$dir" >"$build_root/$preset-configure.log" 2>&1 || {
            cat "$build_root/$preset-configure.log" >&2
            exit 1
        }
    fi
    cmake --build "$dir" -j2 --target vendaro_package_files
    cpack --config "$dir/CPackConfig.cmake" -B "$out" >"$build_root/cpack-$preset.log" 2>&1 || {
        cat "$build_root/cpack-$preset.log" >&2
        exit 1
    }
    sed -n 's/^CPack: - package: \(.*\) generated\.$/package: \1/p' "$build_root/cpack-$preset.log"
done
rm -rf "$out/_CPack_Packages"
