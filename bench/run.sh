#!/usr/bin/env bash
# Runs every benchmark listed in bench/budgets.tsv and checks it against its budget.
#
#   bench/run.sh [build-dir]        (default: build)
#
# Each executable runs once with repetitions (BENCH_REPETITIONS, default 5). For every line
# of budgets.tsv it prints the median (of the per-frame medians, or means, when the benchmark
# times frames one by one, and their p99), the budget, and how many times faster it is than
# its baseline; then one line per budget, MET or MISSED. Exits 1 when a budget is missed.
# A budget is milliseconds, or a share of the baseline's figure: "x0.4" for the mean or
# median, "p99x1" for the p99.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
repetitions=${BENCH_REPETITIONS:-5}
budgets=bench/budgets.tsv
out_dir=$(mktemp -d)
trap 'rm -rf "$out_dir"' EXIT

executables=$(grep -v '^[[:space:]]*#' "$budgets" | awk -F'\t' 'NF >= 4 && $1 != "" {print $1}' | sort -u)
for exe in $executables; do
  path="$build_dir/bench/$exe"
  if [[ ! -x "$path" ]]; then
    echo "warning: $path is not built" >&2
    continue
  fi
  # Only the benchmarks the budgets name, with their baselines.
  names=$(grep -v '^[[:space:]]*#' "$budgets" |
    awk -F'\t' -v exe="$exe" '$1 == exe {print $2; if ($4 != "-") print $4}' | sort -u | paste -sd'|')
  "$path" --benchmark_filter="^(${names})\$" --benchmark_repetitions="$repetitions" \
    --benchmark_report_aggregates_only=true --benchmark_format=console \
    --benchmark_out="$out_dir/$exe.json" --benchmark_out_format=json >&2
done

python3 - "$budgets" "$out_dir" <<'EOF'
import json, os, sys

budgets_path, out_dir = sys.argv[1], sys.argv[2]
to_ms = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}

def load(exe):
    path = os.path.join(out_dir, exe + ".json")
    if not os.path.exists(path):
        return None
    with open(path) as f:
        return json.load(f)["benchmarks"]

def figures(runs, name):
    """(median ms, p99 ms or None, processor p99 ms or None) of a benchmark, or None."""
    for run in runs or []:
        if run.get("run_name") == name and run.get("aggregate_name") == "median":
            if "mean_ms" in run or "median_ms" in run:
                return run.get("mean_ms", run.get("median_ms")), run.get("p99_ms"), run.get("cpu_p99_ms")
            return run["real_time"] * to_ms[run.get("time_unit", "ns")], None, None
    return None

def shown(ms):
    """Milliseconds as read best: microseconds below a hundredth of one."""
    return f"{ms:.3f} ms" if ms >= 0.01 else f"{ms * 1000:.3f} us"

lines = []
with open(budgets_path) as f:
    for raw in f:
        if not raw.strip() or raw.lstrip().startswith("#"):
            continue
        cols = raw.rstrip("\n").split("\t")
        if len(cols) < 4:
            print(f"malformed line in {budgets_path}: {raw.rstrip()}", file=sys.stderr)
            continue
        lines.append((cols[0], cols[1], cols[2], cols[3], cols[4] if len(cols) > 4 else ""))

cache, verdicts = {}, []
for exe, name, budget_text, baseline, description in lines:
    runs = cache.setdefault(exe, load(exe))
    got = figures(runs, name)
    base = figures(runs, baseline) if baseline != "-" else None
    if budget_text.startswith("x") or budget_text.startswith("p99x"):
        # A share of the baseline's figure, measured in the same run.
        of_p99 = budget_text.startswith("p99x")
        share = float(budget_text[4 if of_p99 else 1:])
        what = "p99" if of_p99 else "mean"
        if got is None or base is None or (of_p99 and (got[1] is None or base[1] is None)):
            print(f"{exe} {name}: no result  (budget {what} {share:g} x {baseline})  {description}")
            verdicts.append(("MISSED", exe, name + f" {what}", None, None))
            continue
        mine, theirs = (got[1], base[1]) if of_p99 else (got[0], base[0])
        ratio = mine / theirs if theirs > 0 else float("inf")
        print(f"{exe} {name}: {what} {shown(mine)} against {shown(theirs)} for {baseline}: {ratio:.2f} of it"
              f"  budget {share:g}  -- {description}")
        verdicts.append(("MET" if ratio <= share else "MISSED", exe, name + f" {what} / {baseline}", ratio, share))
        continue
    budget = float(budget_text)
    if got is None:
        print(f"{exe} {name}: no result  (budget {budget:g} ms)  {description}")
        verdicts.append(("MISSED", exe, name, None, budget))
        continue
    median, p99, cpu_p99 = got
    text = f"{exe} {name}: median {shown(median)}"
    if p99 is not None:
        text += f", p99 {shown(p99)}"
    if cpu_p99 is not None:
        text += f" (processor p99 {shown(cpu_p99)})"
    text += f"  budget {budget:g} ms"
    if baseline != "-":
        if base is not None and median > 0:
            text += f"  {base[0] / median:.2f}x faster than {baseline} ({shown(base[0])})"
        else:
            text += f"  baseline {baseline}: no result"
    print(text + (f"  -- {description}" if description else ""))
    verdicts.append(("MET" if median <= budget else "MISSED", exe, name, median, budget))

missed = 0
for verdict, exe, name, median, budget in verdicts:
    if budget is None or " / " in name:  # a share of the baseline
        figure = "no result" if median is None else f"{median:.2f}"
        print(f"{verdict} {exe} {name}: {figure} against {budget if budget is not None else '-'}")
    else:
        figure = "no result" if median is None else shown(median)
        print(f"{verdict} {exe} {name}: {figure} against {budget:g} ms")
    missed += verdict == "MISSED"
sys.exit(1 if missed else 0)
EOF
