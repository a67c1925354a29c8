#!/usr/bin/env bash
# Builds the workbook-reader fuzz target with clang and libFuzzer (plus the address
# and undefined-behaviour sanitizers) in build-fuzz, makes a small seed corpus of
# real workbooks, and fuzzes for a fixed time. Exit status is non-zero on a finding.
# The inputs that crash or hang the reader are kept in build-fuzz/findings, which
# outlives the run; the script says where they are.
# Usage: scripts/fuzz.sh [seconds]   (default 60)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
SECONDS_TO_RUN="${1:-60}"
BUILD="$ROOT/build-fuzz"
FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"

cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DVORRA_FUZZ=ON -DBUILD_TESTING=OFF \
  -DCMAKE_C_FLAGS="$FLAGS" -DCMAKE_CXX_FLAGS="$FLAGS" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"
cmake --build "$BUILD" -j2 --target fuzz_workbook_reader

FINDINGS="$BUILD/findings"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corpus" "$FINDINGS"
# Seeds: workbooks another program writes, repacked without compression so that
# mutations reach the XML.
FIXTURES="$ROOT/tests/platform/engine/fixtures/workbooks.py"
/usr/bin/python3 "$FIXTURES" openpyxl-template "$work/template.xlsx"
/usr/bin/python3 "$FIXTURES" units "$work/units.xlsx" 20
/usr/bin/python3 "$FIXTURES" stored "$work/template.xlsx" "$work/corpus/template-stored.xlsx"
/usr/bin/python3 "$FIXTURES" stored "$work/units.xlsx" "$work/corpus/units-stored.xlsx"
cp "$work/template.xlsx" "$work/units.xlsx" "$work/corpus/"
# Seeds of the parts form: the same workbooks' main parts joined by \x01.
/usr/bin/python3 "$FIXTURES" parts "$work/template.xlsx" "$work/corpus/template.parts"
/usr/bin/python3 "$FIXTURES" parts "$work/units.xlsx" "$work/corpus/units.parts"

status=0
"$BUILD/bin/fuzz_workbook_reader" -max_total_time="$SECONDS_TO_RUN" -max_len=131072 \
  -rss_limit_mb=2048 -timeout=20 -dict="$ROOT/fuzz/workbook.dict" -print_final_stats=1 \
  -artifact_prefix="$FINDINGS/" "$work/corpus" || status=$?
if [ "$status" -ne 0 ]; then
  echo "fuzz: finding kept in $FINDINGS:" >&2
  ls -t "$FINDINGS" | head -5 >&2
else
  echo "fuzz: no finding; earlier findings are kept in $FINDINGS"
fi
exit "$status"
