#!/usr/bin/env python3
"""Times two programs against each other as whole processes, alternating, in one run.

  paired.py [--runs=N] [--at-most=R] [--reset=SOURCE:TARGET] NAME COMMAND NAME COMMAND

Each round runs both commands once; the first round warms the caches and is not counted.
COMMAND is split as a shell would split it. --reset copies SOURCE over TARGET before every
run, so each starts from the same file. Prints the median wall and processor time of each and
the ratio of the first to the second; exits 1 when a command fails or the wall ratio is above R.
"""
import argparse, resource, shlex, shutil, statistics, subprocess, sys, time

parser = argparse.ArgumentParser()
parser.add_argument("--runs", type=int, default=21)
parser.add_argument("--at-most", type=float)
parser.add_argument("--reset")
parser.add_argument("first_name")
parser.add_argument("first")
parser.add_argument("second_name")
parser.add_argument("second")
args = parser.parse_args()
commands = {args.first_name: shlex.split(args.first), args.second_name: shlex.split(args.second)}
wall = {name: [] for name in commands}
cpu = {name: [] for name in commands}
for run in range(args.runs + 1):
    for name, argv in commands.items():
        if args.reset:
            source, target = args.reset.split(":", 1)
            shutil.copyfile(source, target)
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        start = time.perf_counter()
        done = subprocess.run(argv, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        took = time.perf_counter() - start
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        if done.returncode != 0:
            sys.exit(f"{name}: exit status {done.returncode}: {done.stderr.decode().strip()}")
        if run > 0:
            wall[name].append(took)
            cpu[name].append(after.ru_utime + after.ru_stime - before.ru_utime - before.ru_stime)

print(f"medians of {args.runs} runs each: wall time; processor time, which a busy machine "
      "disturbs less")
for name in commands:
    print(f"  {name:20} {statistics.median(wall[name]) * 1000:8.2f} ms"
          f" {statistics.median(cpu[name]) * 1000:8.2f} ms")
ratio = statistics.median(wall[args.first_name]) / statistics.median(wall[args.second_name])
cpu_ratio = statistics.median(cpu[args.first_name]) / statistics.median(cpu[args.second_name])
limit = f"   (at most {args.at_most:g})" if args.at_most else ""
print(f"  {'ratio':20} {ratio:8.2f}    {cpu_ratio:8.2f}{limit}")
sys.exit(1 if args.at_most and ratio > args.at_most else 0)
