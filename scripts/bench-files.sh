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
engine = {}
for b in json.load(open(sys.argv[1]))["benchmarks"]:
    if b.get("aggregate_name") == "median":
        name = b["run_name"].split("/")[0]
        engine[name] = b["real_time"] / 1000.0  # milliseconds → seconds
load, save = (float(x) for x in open(sys.argv[2]).read().split())
rows = [("open", engine["BM_OpenUnitBook"], load), ("save", engine["BM_SaveUnitBook"], save)]
print("%-5s %12s %12s %8s" % ("", "engine (s)", "openpyxl (s)", "ratio"))
ok = True
for what, ours, theirs in rows:
    ratio = theirs / ours
    ok = ok and ours < 1.0 and ratio >= 10
    print("%-5s %12.3f %12.3f %7.1fx" % (what, ours, theirs, ratio))
print("targets (under 1 s each, at least 10x openpyxl):", "met" if ok else "NOT met")
PY
