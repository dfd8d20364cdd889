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

# The peer that reads the file with Python's configparser and takes what the script list shows.
cat >"$work/configparser_peer.py" <<'PY'
import configparser, sys
parser = configparser.RawConfigParser(strict=False, interpolation=None)
parser.read(sys.argv[1], encoding="latin-1")
rows = [(s, parser.get(s, "Description", fallback=""), parser.get(s, "DSN_Driver", fallback=""))
        for s in parser.sections()]
print(len(rows))
PY

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
            python3 "$work/configparser_peer.py" "$lib/vendaro.ini"
    } >>"$raw"
    rm -f "$lib/odbc.ini"
done

fi  # FROM_RAW

if [[ "${NO_DOCS:-}" == 1 ]]; then
    cat "$raw"
    exit 0
fi

# --- report: data file, tables, plot ---
python3 - "$raw" "$root/docs" "$work" <<'PY'
import re, sys
raw, docs, work = sys.argv[1:4]
res, rss, size, notes = {}, {}, {}, []
for line in open(raw):
    f = line.split()
    if not f:
        continue
    if f[0] == "RESULT":
        res[(f[1], int(f[2]))] = dict(median=float(f[3]), min=float(f[4]), runs=int(f[5]),
                                      cpu=float(f[6]))
    elif f[0] == "RSS":
        rss[(f[1], int(f[2]))] = int(f[3])
    elif f[0] == "BYTES":
        size[int(f[1])] = int(f[2])
    elif f[0] == "NOTE" and f[1] in ("date", "commit", "cpu", "load"):
        notes.append(line[5:].strip())
sizes = sorted(size)

with open(f"{docs}/performance-data.tsv", "w") as out:
    out.write("measure\tscripts\tmedian_ms\tmin_ms\truns\tcpu_median_ms\tmax_rss_kb\n")
    for (m, n), r in sorted(res.items(), key=lambda kv: (kv[0][0], kv[0][1])):
        out.write(f"{m}\t{n}\t{r['median']:.3f}\t{r['min']:.3f}\t{r['runs']}\t{r['cpu']:.3f}\t"
                  f"{rss.get((m, n), '')}\n")

def ms(m, n):
    r = res.get((m, n))
    return r["median"] if r else None

def fmt(v):
    if v is None:
        return "–"
    return f"{v:.2f}" if v < 10 else f"{v:.1f}" if v < 1000 else f"{v:,.0f}"

def ratio(a, b):
    return None if a is None or b is None or b == 0 else a / b

def fr(v):
    return "–" if v is None else f"{v:.2f}×" if v < 10 else f"{v:.0f}×"

head = "| measure | " + " | ".join(f"{n:,}" for n in sizes) + " |\n"
rule = "|---|" + "---:|" * len(sizes) + "\n"
measures = [
    ("floor", "floor: read the file, find its lines with memchr"),
    ("split_lines", "the INI engine's line split (every line end the reader accepts)"),
    ("parse", "the INI engine's parse of the file"),
    ("startup", "start-up: Form1 fills the script list (in process)"),
    ("store_list", "the store's section listing alone (in process)"),
    ("read_one", "one key read, fresh process state (in process)"),
    ("unattended_inproc", "unattended `NAME -ue`, recorded registry (in process)"),
    ("unattended_just_written", "the same, vendaro.ini written just before (in process)"),
    ("startup_proc", "`vendaro` start-up as a process (prints the window)"),
    ("unattended", "`vendaro NAME -ue` as a process, unixODBC"),
    ("save_add", "Form5 Save of a new script, 27 keys"),
    ("save_edit", "Form5 Save of a script near the end, 2 fields changed"),
    ("clone", "Clone of a script near the end"),
    ("odbcinst", "peer: `odbcinst -q -s` (process)"),
    ("configparser", "peer: Python configparser (process)"),
]
t = ["File size: " + ", ".join(f"{n:,} scripts {size[n] / 2**20:.2f} MiB" for n in sizes) + ".\n\n"]
t.append("Median wall time in milliseconds:\n\n")
t.append(head + rule)
for m, label in measures:
    t.append(f"| {label} | " + " | ".join(fmt(ms(m, n)) for n in sizes) + " |\n")
t.append("\nMedian processor time (user and system) in milliseconds, which other work on the "
         "machine disturbs less; the time a process waits for the disk is not in it:\n\n")
t.append(head + rule)
for m, label in measures:
    t.append(f"| {label} | " + " | ".join(
        fmt(res[(m, n)]["cpu"] if (m, n) in res else None) for n in sizes) + " |\n")
t.append("\nRatios:\n\n" + head.replace("measure", "ratio") + rule)
def cpu(m, n):
    r = res.get((m, n))
    return r["cpu"] if r else None

rows = [
    ("start-up / floor", lambda n: ratio(ms("startup", n), ms("floor", n))),
    ("start-up / floor, processor time", lambda n: ratio(cpu("startup", n), cpu("floor", n))),
    ("`odbcinst -q -s` / `vendaro` start-up process",
     lambda n: ratio(ms("odbcinst", n), ms("startup_proc", n))),
    ("configparser / `vendaro` start-up process",
     lambda n: ratio(ms("configparser", n), ms("startup_proc", n))),
    ("`odbcinst -q -s` / unattended DSN creation",
     lambda n: ratio(ms("odbcinst", n), ms("unattended", n))),
    ("start-up at this size / at a tenth of it, in process",
     lambda n: ratio(ms("startup", n), ms("startup", n // 10)) if n // 10 in size else None),
    ("the same, `vendaro` start-up processes",
     lambda n: ratio(ms("startup_proc", n), ms("startup_proc", n // 10)) if n // 10 in size else None),
    ("floor at this size / at a tenth of it",
     lambda n: ratio(ms("floor", n), ms("floor", n // 10)) if n // 10 in size else None),
]
for label, f in rows:
    t.append(f"| {label} | " + " | ".join(fr(f(n)) for n in sizes) + " |\n")
t.append("\nPeak memory (maximum resident set size, MiB) against the limit of 3 × file size "
         "+ 10 MiB:\n\n")
t.append(head.replace("measure", "process") + rule)
for m, label in [("startup_proc", "`vendaro` start-up"), ("unattended", "`vendaro NAME -ue`"),
                 ("odbcinst", "`odbcinst -q -s`"), ("configparser", "configparser")]:
    t.append(f"| {label} | " + " | ".join(
        f"{rss[(m, n)] / 1024:.1f}" if (m, n) in rss else "–" for n in sizes) + " |\n")
t.append("| limit | " + " | ".join(f"{(3 * size[n] + 10 * 2**20) / 2**20:.1f}" for n in sizes) + " |\n")

# Targets, judged on the medians above.
def check(ok):
    return "–" if ok is None else ("met" if ok else "**missed**")
k, big = 10000, 100000
def le(a, b):
    return None if a is None or b is None else a <= b
targets = [
    ("start-up of 10,000 scripts ≤ 50 ms", le(ms("startup", k), 50)),
    ("start-up of 10,000 scripts ≤ 3 × floor", le(ratio(ms("startup", k), ms("floor", k)), 3)),
    ("start-up of 100,000 ≤ 12 × 10,000, as `vendaro` processes (each a fresh start)",
     le(ratio(ms("startup_proc", big), ms("startup_proc", k)), 12)),
    ("start-up of 100,000 ≤ 12 × 10,000, in process (repeated in one process)",
     le(ratio(ms("startup", big), ms("startup", k)), 12)),
    ("unattended DSN creation from 10,000 scripts ≤ 100 ms", le(ms("unattended", k), 100)),
    ("editor Save (new script, 27 keys) into 10,000 scripts ≤ 300 ms", le(ms("save_add", k), 300)),
    ("start-up process faster than `odbcinst -q -s`, every size",
     None if not sizes else all((ms("startup_proc", n) or 0) < (ms("odbcinst", n) or 0) for n in sizes)),
    ("start-up process faster than configparser, every size",
     None if not sizes else all((ms("startup_proc", n) or 0) < (ms("configparser", n) or 0) for n in sizes)),
    ("peak memory ≤ 3 × file size + 10 MB, every size", all(
        rss.get((m, n), 0) * 1024 <= 3 * size[n] + 10 * 2**20
        for m in ("startup_proc", "unattended") for n in sizes)),
]
t.append("\nTargets:\n\n| target | result |\n|---|---|\n")
for label, ok in targets:
    t.append(f"| {label} | {check(ok)} |\n")
t.append("\nMachine and run: " + "; ".join(notes) + ".\n")
table = "".join(t)

md = f"{docs}/performance.md"
text = open(md).read()
begin, end = "<!-- bench-table-begin -->", "<!-- bench-table-end -->"
text = re.sub(re.escape(begin) + ".*?" + re.escape(end), lambda _: begin + "\n" + table + end, text,
              flags=re.S)
open(md, "w").write(text)

# The plot: one line per measure, time against script count, both axes logarithmic.
plotted = [("floor", "floor"), ("startup", "start-up (in process)"),
           ("startup_proc", "vendaro start-up (process)"), ("unattended", "vendaro NAME -ue (process)"),
           ("save_add", "Form5 Save, 27 keys"), ("clone", "Clone"),
           ("odbcinst", "odbcinst -q -s"), ("configparser", "configparser")]
with open(f"{work}/plot.dat", "w") as out:
    for m, _ in plotted:
        for n in sizes:
            if (m, n) in res:
                out.write(f"{n} {res[(m, n)]['median']}\n")
        out.write("\n\n")
with open(f"{work}/plot.gp", "w") as gp:
    gp.write(f'''set terminal pngcairo size 960,600 noenhanced font "sans,10"
set output "{docs}/performance.png"
set title "Vendaro: time against script count (medians)"
set xlabel "scripts in vendaro.ini"
set ylabel "milliseconds"
set logscale xy
set xrange [{sizes[0] * 0.7}:{sizes[-1] * 1.4}]
set grid
set key top left
set xtics ({", ".join(f'"{n:,}" {n}' for n in sizes)})
plot ''' + ", \\\n     ".join(
        f'"{work}/plot.dat" index {i} with linespoints lw 2 title "{label}"'
        for i, (_, label) in enumerate(plotted)) + "\n")
PY
gnuplot "$work/plot.gp"
cp "$raw" "$root/docs/performance-raw.txt"
echo "bench: wrote docs/performance.md, docs/performance-data.tsv, docs/performance.png" >&2
