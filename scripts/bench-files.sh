#!/usr/bin/env bash
# Opens and saves the 50,000-row unit book with this engine (bench_files) and with
# python3-openpyxl on the same file in the same run, and prints both and the ratio.
# Usage: scripts/bench-files.sh [build-folder]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${1:-$ROOT/build}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export VORRA_BENCH_WORKBOOK="$work/units.xlsx"

"$BUILD/bin/bench_files" --benchmark_filter='BM_(Open|Save)UnitBook/' \
  --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
  --benchmark_out="$work/engine.json" --benchmark_out_format=json
echo "== openpyxl on the same file"
/usr/bin/python3 "$ROOT/tests/platform/engine/fixtures/workbooks.py" load-save \
  "$VORRA_BENCH_WORKBOOK" "$work/openpyxl.xlsx" > "$work/openpyxl.txt"

/usr/bin/python3 - "$work/engine.json" "$work/openpyxl.txt" <<'PY'
import json, sys
wall, cpu = {}, {}
for b in json.load(open(sys.argv[1]))["benchmarks"]:
    if b.get("aggregate_name") == "median":
        name = b["run_name"].split("/")[0]
        wall[name] = b["real_time"] / 1000.0  # milliseconds → seconds
        cpu[name] = b["cpu_time"] / 1000.0    # the process's CPU time
load, save, load_cpu, save_cpu = (float(x) for x in open(sys.argv[2]).read().split())
ok = True
for label, ours, theirs in (("wall clock", wall, (load, save)), ("CPU time", cpu, (load_cpu, save_cpu))):
    print("%s:" % label)
    print("  %-5s %12s %12s %8s" % ("", "engine (s)", "openpyxl (s)", "ratio"))
    for what, key, other in (("open", "BM_OpenUnitBook", theirs[0]), ("save", "BM_SaveUnitBook", theirs[1])):
        ratio = other / ours[key]
        if label == "wall clock":
            ok = ok and ours[key] < 1.0 and ratio >= 10
        print("  %-5s %12.3f %12.3f %7.1fx" % (what, ours[key], other, ratio))
print("targets on the wall clock (under 1 s each, at least 10x openpyxl):", "met" if ok else "NOT met")
print("(on a busy machine the wall clock includes waiting for a core; the CPU times do not)")
PY
