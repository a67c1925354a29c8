#!/usr/bin/env bash
# Takes the pictures of the launcher's and the backup tool's windows under a virtual X
# display and saves them as docs/screenshots/quorlaunch.png and mouldsafe.png.
#
# scripts/screenshots.sh [BUILD]   (BUILD defaults to build; Quorlaunch and Mouldsafe must be built)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
OUT=docs/screenshots
mkdir -p "$OUT"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The backup tool lists the workbooks beside itself: give it a folder with a few.
mkdir -p "$work/templates"
cp "$BUILD/bin/Mouldsafe" "$work/templates/"
for name in 现金支票.xls 转账支票.xlsx 进账单.xls 业务委托书.xlsm; do
  printf 'template %s\n' "$name" > "$work/templates/$name"
done

xvfb-run -a -s "-screen 0 1024x768x24" "$BUILD/bin/Quorlaunch" --screenshot "$PWD/$OUT/quorlaunch.png"
# Started from another working folder, as from a shortcut; it still backs up its own folder.
(cd "$work" && xvfb-run -a -s "-screen 0 1024x768x24" \
  "$work/templates/Mouldsafe" --screenshot "$work/shot.png" --press-backup)
mv "$work/shot.png" "$OUT/mouldsafe.png"
echo "saved $OUT/quorlaunch.png and $OUT/mouldsafe.png"
