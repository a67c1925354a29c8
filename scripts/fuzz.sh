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
mkdir -p "$FINDINGS"
"$ROOT/fuzz/seeds.sh" /usr/bin/python3 "$work/corpus" "$work/xls"

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
