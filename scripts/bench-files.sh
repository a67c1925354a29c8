#!/usr/bin/env bash
# Opens and saves the 50,000-row unit book with this engine (bench_files), as .xlsx
# beside python3-openpyxl and as binary .xls beside python3-xlrd (open) and
# python3-xlwt (save), each on the same file in the same run, and prints the times and
# the ratios.
# Usage: scripts/bench-files.sh [build-folder]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${1:-$ROOT/build}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export VORRA_BENCH_WORKBOOK="$work/units.xlsx"
FIXTURES="$ROOT/tests/platform/engine/fixtures/workbooks.py"

"$BUILD/bin/bench_files" --benchmark_filter='BM_(Open|Save)UnitBook(Xls)?/' \
  --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
  --benchmark_out="$work/engine.json" --benchmark_out_format=json
echo "== openpyxl, and xlrd with xlwt, on the same files"
/usr/bin/python3 "$FIXTURES" load-save "$VORRA_BENCH_WORKBOOK" "$work/openpyxl.xlsx" > "$work/openpyxl.txt"
/usr/bin/python3 "$FIXTURES" xls-load-save "$VORRA_BENCH_WORKBOOK.xls" "$work/xlwt.xls" > "$work/xlrd.txt"

/usr/bin/python3 - "$work/engine.json" "$work/openpyxl.txt" "$work/xlrd.txt" <<'PY'
import json, sys
wall, cpu = {}, {}
for b in json.load(open(sys.argv[1]))["benchmarks"]:
    if b.get("aggregate_name") == "median":
        name = b["run_name"].split("/")[0]
        wall[name] = b["real_time"] / 1000.0  # milliseconds → seconds
        cpu[name] = b["cpu_time"] / 1000.0    # the process's CPU time
ok = True
for fmt, other, path, suffix in ((".xlsx", "openpyxl", sys.argv[2], ""), (".xls", "xlrd/xlwt", sys.argv[3], "Xls")):
    load, save, load_cpu, save_cpu = (float(x) for x in open(path).read().split())
    print("== %s" % fmt)
    for label, ours, theirs in (("wall clock", wall, (load, save)), ("CPU time", cpu, (load_cpu, save_cpu))):
        print("%s:" % label)
        print("  %-5s %12s %12s %8s" % ("", "engine (s)", other + " (s)", "ratio"))
        for what, key, t in (("open", "BM_OpenUnitBook", theirs[0]), ("save", "BM_SaveUnitBook", theirs[1])):
            key += suffix
            ratio = t / ours[key]
            if label == "wall clock" and fmt == ".xlsx":
                ok = ok and ours[key] < 1.0 and ratio >= 10
            print("  %-5s %12.3f %12.3f %7.1fx" % (what, ours[key], t, ratio))
print("targets on the wall clock for .xlsx (under 1 s each, at least 10x openpyxl):", "met" if ok else "NOT met")
print("(on a busy machine the wall clock includes waiting for a core; the CPU times do not)")
PY
