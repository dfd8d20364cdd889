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

python3 - "$raw" "$root/docs" <<'PY'
import re, sys
raw, docs = sys.argv[1:3]
res, size, notes = {}, {}, []
for line in open(raw):
    f = line.split()
    if not f:
        continue
    if f[0] == "RESULT":
        res[(f[1], int(f[2]))] = (float(f[3]), float(f[6]))
    elif f[0] == "BYTES":
        size[int(f[1])] = int(f[2])
    elif f[0] == "NOTE" and f[1] in ("date", "commit", "cpu", "wine", "load"):
        notes.append(line[5:].strip())
sizes = sorted(size)
def ms(m, n):
    r = res.get((m, n))
    return r[0] if r else None
def fmt(v):
    return "–" if v is None else f"{v:.2f}" if v < 10 else f"{v:.1f}" if v < 1000 else f"{v:,.0f}"
def fr(a, b):
    return "–" if a is None or not b else f"{a / b:.2f}×"
head = "| measure | " + " | ".join(f"{n:,}" for n in sizes) + " |\n"
rule = "|---|" + "---:|" * len(sizes) + "\n"
rows = [
    ("floor", "floor: read the file, find its lines with memchr (in process)"),
    ("parse", "the INI engine's parse of the file (in process)"),
    ("startup", "start-up: Form1 fills the script list (in process)"),
    ("startup_percall", "peer: the same, every key read a GetPrivateProfileStringA call"),
    ("unattended_inproc", "unattended `NAME -ue`, recorded registry (in process)"),
    ("unattended_percall", "peer: the same, every key read a GetPrivateProfileStringA call"),
    ("unattended_just_written", "unattended, vendaro.ini written just before (in process)"),
    ("floor_proc", "floor as a process (read_split.exe)"),
    ("unattended_proc", "`vendaro.exe NAME -se` as a process"),
    ("save_add", "Form5 Save of a new script, 27 keys (one replacement of the file)"),
    ("save_add_percall", "peer: the same Save written key by key"),
    ("save_edit", "Form5 Save of a script near the end, 2 fields changed"),
    ("clone", "Clone of a script near the end"),
]
t = ["Measured under Wine (" + "; ".join(n[5:] for n in notes if n.startswith("wine ")) + "). File size: " +
     ", ".join(f"{n:,} scripts {size[n] / 2**20:.2f} MiB" for n in sizes) + ".\n\n"]
t.append("Median wall time in milliseconds:\n\n" + head + rule)
for m, label in rows:
    t.append(f"| {label} | " + " | ".join(fmt(ms(m, n)) for n in sizes) + " |\n")
t.append("\nProcessor time of the processes (`GetProcessTimes`, user and kernel; Wine counts it "
         "in 10 ms steps), milliseconds:\n\n" + head + rule)
for m, label in rows:
    if m.endswith("_proc"):
        t.append(f"| {label} | " + " | ".join(
            fmt(res[(m, n)][1] if (m, n) in res else None) for n in sizes) + " |\n")
t.append("\nRatios:\n\n" + head.replace("measure", "ratio") + rule)
for label, a, b in [("start-up / floor", "startup", "floor"),
                    ("peer start-up / start-up", "startup_percall", "startup"),
                    ("`vendaro.exe NAME -se` / floor process", "unattended_proc", "floor_proc"),
                    ("peer Save / Save", "save_add_percall", "save_add")]:
    t.append(f"| {label} | " + " | ".join(fr(ms(a, n), ms(b, n)) for n in sizes) + " |\n")
k = 10000
def check(ok):
    return "–" if ok is None else ("met" if ok else "**missed**")
def le(a, b):
    return None if a is None or b is None else a <= b
st, fl = ms("startup", k), ms("floor", k)
t.append("\nTargets:\n\n| target | result |\n|---|---|\n")
t.append(f"| start-up of 10,000 scripts ≤ 3 × the Wine floor (in process) | "
         f"{check(le(st, 3 * fl) if st and fl else None)} |\n")
t.append(f"| `vendaro.exe NAME -se` over 10,000 scripts ≤ 150 ms | "
         f"{check(le(ms('unattended_proc', k), 150))} |\n")
t.append(f"| Save of a 27-key script into 10,000 scripts ≤ 300 ms | {check(le(ms('save_add', k), 300))} |\n")
t.append("\nMachine and run: " + "; ".join(notes) + ".\n")
table = "".join(t)
md = f"{docs}/performance.md"
text = open(md).read()
begin, end = "<!-- bench-wine-begin -->", "<!-- bench-wine-end -->"
text = re.sub(re.escape(begin) + ".*?" + re.escape(end), lambda _: begin + "\n" + table + end, text,
              flags=re.S)
open(md, "w").write(text)
PY
cp "$raw" "$root/docs/performance-wine-raw.txt"
echo "bench-wine: wrote docs/performance.md and docs/performance-wine-raw.txt" >&2
