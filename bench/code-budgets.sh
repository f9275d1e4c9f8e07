#!/usr/bin/env bash
# The size of the drawing code against its budgets: lines of render/ and of game/ with it, the
# largest product file, and no file of render/ reaching itself again through its includes.
#
#   bench/code-budgets.sh
#
# Prints each figure with its budget, MET or MISSED; exits 1 when one is missed.
set -euo pipefail
cd "$(dirname "$0")/.."
python3 - <<'PY'
import glob, os, re, sys

def lines(paths):
    return sum(sum(1 for _ in open(p, encoding="utf-8")) for p in paths)

sources = lambda folder: sorted(p for e in ("cpp", "h") for p in glob.glob(f"{folder}/*.{e}"))
product = [p for folder in ("game", "render", "audio", "app") for e in ("cpp", "h")
           for p in glob.glob(f"{folder}/**/*.{e}", recursive=True)]
largest = max(product, key=lambda p: lines([p]))

# render/'s include graph: a cycle is a file that includes its way back to itself.
graph = {p: {os.path.normpath(m) for m in re.findall(r'#include "(render/[^"]+)"', open(p).read())}
         for p in sources("render")}
def cycle_from(start):
    seen, todo = set(), list(graph.get(start, ()))
    while todo:
        p = todo.pop()
        if p == start:
            return True
        if p not in seen:
            seen.add(p)
            todo.extend(graph.get(p, ()))
    return False
cycles = sum(cycle_from(p) for p in graph)

figures = [
    ("render/ lines", lines(sources("render")), 2000),
    ("game/ + render/ lines", lines(sources("game") + sources("render")), 2950),
    (f"largest product file ({largest})", lines([largest]), 350),
    ("render/ files in an include cycle", cycles, 0),
]
missed = 0
for name, value, budget in figures:
    ok = value <= budget
    missed += not ok
    print(f"{name:55} {value:6} budget {budget:6}  {'MET' if ok else 'MISSED'}")
sys.exit(1 if missed else 0)
PY
