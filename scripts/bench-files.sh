#!/usr/bin/env bash
# Opens and saves the 50,000-row unit book with this engine (bench_files, in process),
# as .xlsx beside python3-openpyxl and as binary .xls beside python3-xlrd (open) and
# python3-xlwt (save), each on the same file in the same run, then times whole
# processes on it: vorra-run opening and saving it, and LibreOffice converting it
# (soffice --headless --convert-to xlsx) when LibreOffice is installed; prints the
# figures, the peak memory and the ratios.
# Usage: scripts/bench-files.sh [build-folder]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${1:-$ROOT/build}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export VORRA_BENCH_WORKBOOK="$work/units.xlsx"
FIXTURES="$ROOT/tests/platform/engine/fixtures/workbooks.py"
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"

"$BUILD/bin/bench_files" --benchmark_filter='BM_(Open|Save)UnitBook(Xls)?/50000' \
  --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
  --benchmark_out="$work/engine.json" --benchmark_out_format=json
echo "== openpyxl, and xlrd with xlwt, on the same files"
/usr/bin/python3 "$FIXTURES" load-save "$VORRA_BENCH_WORKBOOK" "$work/openpyxl.xlsx" > "$work/openpyxl.txt"
/usr/bin/python3 "$FIXTURES" xls-load-save "$VORRA_BENCH_WORKBOOK.xls" "$work/xlwt.xls" > "$work/xlrd.txt"

# Whole processes, three runs each: wall-clock seconds, peak resident KiB and CPU
# seconds (user, system) per run.
timed() {
  local out="$1"
  shift
  for _ in 1 2 3; do
    /usr/bin/time -f '%e %M %U %S' -a -o "$out" "$@" > /dev/null 2>&1 || { echo "failed: $*" >&2; return 1; }
  done
}
printf 'open "%s"\nsave as "%s"\n' "$VORRA_BENCH_WORKBOOK" "$work/vorra-saved.xlsx" > "$work/open-save.scenario"
echo "== vorra-run, whole process: open and save"
timed "$work/vorra.txt" "$BUILD/bin/vorra-run" --work "$work" "$work/open-save.scenario"
: > "$work/soffice.txt"
if command -v soffice > /dev/null; then
  echo "== LibreOffice, whole process: convert to xlsx"
  profile="file://$work/soffice-profile"
  # The first start makes the profile; it is not timed.
  soffice "-env:UserInstallation=$profile" --headless --convert-to xlsx --outdir "$work/soffice" \
    "$VORRA_BENCH_WORKBOOK" > /dev/null 2>&1 || true
  timed "$work/soffice.txt" soffice "-env:UserInstallation=$profile" --headless --convert-to xlsx \
    --outdir "$work/soffice" "$VORRA_BENCH_WORKBOOK"
else
  echo "== LibreOffice is not installed: no whole-process comparison"
fi
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"

/usr/bin/python3 - "$work/engine.json" "$work/openpyxl.txt" "$work/xlrd.txt" "$work/vorra.txt" "$work/soffice.txt" <<'PY'
import json, statistics, sys
wall, cpu = {}, {}
for b in json.load(open(sys.argv[1]))["benchmarks"]:
    if b.get("aggregate_name") == "median":
        name = b["run_name"].split("/")[0]
        wall[name] = b["real_time"] / 1000.0  # milliseconds → seconds
        cpu[name] = b["cpu_time"] / 1000.0    # the process's CPU time
ok = True
print("in process:")
for fmt, other, path, suffix in ((".xlsx", "openpyxl", sys.argv[2], ""), (".xls", "xlrd/xlwt", sys.argv[3], "Xls")):
    load, save, load_cpu, save_cpu = (float(x) for x in open(path).read().split())
    print("  %s" % fmt)
    for label, ours, theirs in (("wall clock", wall, (load, save)), ("CPU time", cpu, (load_cpu, save_cpu))):
        print("    %s:" % label)
        print("      %-5s %12s %12s %8s" % ("", "engine (s)", other + " (s)", "ratio"))
        for what, key, t in (("open", "BM_OpenUnitBook", theirs[0]), ("save", "BM_SaveUnitBook", theirs[1])):
            key += suffix
            ratio = t / ours[key]
            if label == "wall clock" and fmt == ".xlsx":
                ok = ok and ours[key] < 1.0 and ratio >= (30 if what == "open" else 10)
            print("      %-5s %12.3f %12.3f %7.1fx" % (what, ours[key], t, ratio))
print("in-process targets on the wall clock for .xlsx (under 1 s each; open at least 30x openpyxl, save at least 10x):",
      "met" if ok else "NOT met")

def runs(path):
    rows = [line.split() for line in open(path) if line.strip() and line.split()[0][0].isdigit()]
    if not rows:
        return None
    return (statistics.median(float(r[0]) for r in rows), max(int(r[1]) for r in rows) / 1024.0,
            statistics.median(float(r[2]) + float(r[3]) for r in rows))
vorra, soffice = runs(sys.argv[4]), runs(sys.argv[5])
print("whole process (median of three runs: wall clock, peak resident memory, CPU time):")
print("  vorra-run open + save      %8.3f s  %7.1f MiB  %8.3f s CPU" % vorra)
if soffice:
    print("  soffice --convert-to xlsx  %8.3f s  %7.1f MiB  %8.3f s CPU" % soffice)
    print("  LibreOffice / vorra-run:   %7.1fx time, %5.1fx memory, %5.1fx CPU time"
          % (soffice[0] / vorra[0], soffice[1] / vorra[1], soffice[2] / vorra[2]))
    met = vorra[0] * 10 <= soffice[0] and vorra[1] <= 80
    print("whole-process targets (a tenth of LibreOffice's time, peak at most 80 MiB):", "met" if met else "NOT met")
print("(on a busy machine the wall clock includes waiting for a core; the CPU times do not)")
PY
