#!/usr/bin/env bash
# The main job on the embedded default: no display and no printer needed. Builds the
# sample template, enters one bill, shows the fill-in rows and a bill sheet in the
# terminal and saves the workbook.
set -euo pipefail
BUILD="${1:-build}"
OUT="${VORRA_DEMO_DIR:-$PWD/out/demo}"
mkdir -p "$OUT"
"$BUILD/bin/make-sample-template" --show "$OUT/sample-template.xlsx"
echo "Saved workbook: $OUT/sample-template.xlsx"
