#!/usr/bin/env bash
# The main job on the embedded default: no display and no printer needed.
set -euo pipefail
BUILD="${1:-build}"
OUT="${VORRA_DEMO_DIR:-$PWD/out/demo}"
mkdir -p "$OUT"
"$BUILD/bin/make-sample-template" --show "$OUT/sample-template.xlsx"
