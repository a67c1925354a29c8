#!/usr/bin/env bash
# Runs every benchmark program and prints its figures, then the scaling table: each
# figure measured on books of 1,000 to 200,000 units, one row per figure, in
# milliseconds (per keystroke for the typing figures), with the machine's load.
set -euo pipefail
BUILD="${1:-build}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
for b in "$BUILD"/bin/bench_*; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" --benchmark_min_time=0.2 --benchmark_out="$work/$(basename "$b").json" --benchmark_out_format=json
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"

/usr/bin/python3 - "$work"/*.json <<'PY'
import json, sys
table, sizes = {}, set()
for path in sys.argv[1:]:
    for b in json.load(open(path)).get("benchmarks", []):
        name, _, size = b["name"].partition("/")
        size = size.split("/")[0]
        if not size.isdigit():
            continue
        ms = b["real_time"] if b.get("time_unit") == "ms" else b["real_time"] / 1e6
        if "seconds_per_keystroke" in b:
            # The counter is a rate over CPU time: it gives the keystrokes per iteration.
            cpu = b["cpu_time"] if b.get("time_unit") == "ms" else b["cpu_time"] / 1e6
            ms /= cpu / (b["seconds_per_keystroke"] * 1000.0)
            name += " (per keystroke)"
        table.setdefault(name, {})[int(size)] = ms
        sizes.add(int(size))
if table:
    sizes = sorted(sizes)
    width = max(len(n) for n in table)
    print()
    print("scaling table, milliseconds (wall clock):")
    print("  %-*s" % (width, "") + "".join("%12s" % format(s, ",") for s in sizes) + "%12s" % "largest/1st")
    for name in sorted(table):
        row = table[name]
        cells = "".join("%12.3f" % row[s] if s in row else "%12s" % "-" for s in sizes)
        first, last = row.get(sizes[0]), row.get(sizes[-1])
        growth = "%11.1fx" % (last / first) if first and last else "%12s" % "-"
        print("  %-*s%s%s" % (width, name, cells, growth))
PY
