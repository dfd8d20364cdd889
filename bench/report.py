#!/usr/bin/env python3
# The benchmark report: reads the output of scripts/bench.sh, of the Linux programs (native)
# or of the Windows ones under Wine (wine), and writes its tables into docs/performance.md
# between that report's markers (native also writes docs/performance-data.tsv and, through
# gnuplot, docs/performance.png).
#
#   report.py native RAW DOCS WORK    report.py wine RAW DOCS
import functools
import re
import sys


def read_raw(raw):
    """The RESULT, RSS and BYTES lines of a run, and its NOTE lines about the machine."""
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
        elif f[0] == "NOTE" and f[1] in ("date", "commit", "cpu", "wine", "load"):
            notes.append(line[5:].strip())
    return res, rss, size, notes


def fmt(v):
    if v is None:
        return "–"
    return f"{v:.2f}" if v < 10 else f"{v:.1f}" if v < 1000 else f"{v:,.0f}"


def median(res, m, n):
    r = res.get((m, n))
    return r["median"] if r else None


def heading(sizes):
    """A table's header row, one column a size, and its rule."""
    return ("| measure | " + " | ".join(f"{n:,}" for n in sizes) + " |\n",
            "|---|" + "---:|" * len(sizes) + "\n")


def put_table(docs, name, table):
    """Replaces what stands between the report's markers in performance.md."""
    md = f"{docs}/performance.md"
    text = open(md).read()
    begin, end = f"<!-- {name}-begin -->", f"<!-- {name}-end -->"
    text = re.sub(re.escape(begin) + ".*?" + re.escape(end), lambda _: begin + "\n" + table + end,
                  text, flags=re.S)
    open(md, "w").write(text)


def native(raw, docs, work):
    res, rss, size, notes = read_raw(raw)
    sizes = sorted(size)

    ms = functools.partial(median, res)

    with open(f"{docs}/performance-data.tsv", "w") as out:
        out.write("measure\tscripts\tmedian_ms\tmin_ms\truns\tcpu_median_ms\tmax_rss_kb\n")
        for (m, n), r in sorted(res.items(), key=lambda kv: (kv[0][0], kv[0][1])):
            out.write(f"{m}\t{n}\t{r['median']:.3f}\t{r['min']:.3f}\t{r['runs']}\t{r['cpu']:.3f}\t"
                      f"{rss.get((m, n), '')}\n")



    def ratio(a, b):
        return None if a is None or b is None or b == 0 else a / b

    def fr(v):
        return "–" if v is None else f"{v:.2f}×" if v < 10 else f"{v:.0f}×"

    head, rule = heading(sizes)
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

    put_table(docs, "bench-table", table)

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


def wine(raw, docs):
    res, _, size, notes = read_raw(raw)
    sizes = sorted(size)

    ms = functools.partial(median, res)
    def fr_of(a, b):
        return "–" if a is None or not b else f"{a / b:.2f}×"
    head, rule = heading(sizes)
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
                fmt(res[(m, n)]['cpu'] if (m, n) in res else None) for n in sizes) + " |\n")
    t.append("\nRatios:\n\n" + head.replace("measure", "ratio") + rule)
    for label, a, b in [("start-up / floor", "startup", "floor"),
                        ("peer start-up / start-up", "startup_percall", "startup"),
                        ("`vendaro.exe NAME -se` / floor process", "unattended_proc", "floor_proc"),
                        ("peer Save / Save", "save_add_percall", "save_add")]:
        t.append(f"| {label} | " + " | ".join(fr_of(ms(a, n), ms(b, n)) for n in sizes) + " |\n")
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
    put_table(docs, "bench-wine", table)


if __name__ == "__main__":
    if sys.argv[1] == "native":
        native(*sys.argv[2:5])
    else:
        wine(*sys.argv[2:4])
