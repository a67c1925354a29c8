#!/usr/bin/env bash
# Builds the two workbook-reader fuzz targets (.xlsx, and .xls with its compound file)
# with clang and libFuzzer (plus the address and undefined-behaviour sanitizers) in
# build-fuzz, makes small seed corpora of real workbooks, and fuzzes each for half the
# given time. Exit status is non-zero on a finding. The inputs that crash or hang a
# reader are kept in build-fuzz/findings, which outlives the run; the script says
# where they are.
# Usage: scripts/fuzz.sh [seconds]   (default 60, shared by the two targets)
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
cmake --build "$BUILD" -j2 --target fuzz_workbook_reader fuzz_xls_reader

FINDINGS="$BUILD/findings"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corpus" "$work/xls" "$FINDINGS"
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

# Seeds of the .xls target: binary workbooks xlwt writes, the same converted by
# LibreOffice when it is installed, and their bare workbook streams (which the target
# wraps in a compound file itself).
/usr/bin/python3 "$FIXTURES" xlwt-template "$work/xls/template.xls"
/usr/bin/python3 "$FIXTURES" xlwt-batch "$work/xls/batch.xls"
if command -v soffice >/dev/null; then
  soffice --headless --norestore -env:UserInstallation=file://"$work/lo" --convert-to xls \
    --outdir "$work/lo-out" "$work/template.xlsx" >/dev/null 2>&1 || true
  [ -f "$work/lo-out/template.xls" ] && cp "$work/lo-out/template.xls" "$work/xls/libreoffice.xls"
fi
for f in "$work"/xls/*.xls; do
  /usr/bin/python3 "$FIXTURES" xls-stream "$f" "${f%.xls}.stream"
done

run() {  # target corpus dictionary seconds
  "$BUILD/bin/$1" -max_total_time="$4" -max_len=131072 \
    -rss_limit_mb=2048 -timeout=20 -dict="$3" -print_final_stats=1 \
    -artifact_prefix="$FINDINGS/$1-" "$2"
}
status=0
half=$(( (SECONDS_TO_RUN + 1) / 2 ))
run fuzz_workbook_reader "$work/corpus" "$ROOT/fuzz/workbook.dict" "$half" || status=$?
if [ "$status" -eq 0 ]; then
  run fuzz_xls_reader "$work/xls" "$ROOT/fuzz/xls.dict" "$half" || status=$?
fi
if [ "$status" -ne 0 ]; then
  echo "fuzz: finding kept in $FINDINGS:" >&2
  ls -t "$FINDINGS" | head -5 >&2
else
  echo "fuzz: no finding; earlier findings are kept in $FINDINGS"
fi
exit "$status"
