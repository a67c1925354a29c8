#!/usr/bin/env bash
# The main job on the embedded default: no display and no printer needed.
# For now it builds the sample template, enters one bill and shows the result in the
# terminal; saving the template to "$OUT/sample-template.xlsx" joins once the engine
# writes workbook files (make-sample-template --show "$OUT/sample-template.xlsx").
set -euo pipefail
BUILD="${1:-build}"
OUT="${VORRA_DEMO_DIR:-$PWD/out/demo}"
mkdir -p "$OUT"
"$BUILD/bin/make-sample-template" --show
