#!/usr/bin/env bash
# The main job on the embedded default, with no display and no printer: the sample
# template, a transfer cheque filled in through the add-in's forms and printed to PDF,
# the workbook saved. Results go to out/demo (or $VORRA_DEMO_DIR).
set -euo pipefail
BUILD="${1:-build}"
OUT="${VORRA_DEMO_DIR:-$PWD/out/demo}"
mkdir -p "$OUT/prints"
export VORRA_PRINT_DIR="$OUT/prints"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
"$BUILD/bin/vorra-run" --work "$OUT" scripts/demo.scenario
echo
echo "Printed bill (PDF): $(ls -t "$OUT"/prints/*.pdf 2>/dev/null | head -1)"
echo "Saved workbook:    $OUT/demo.xlsx"
