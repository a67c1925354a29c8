#!/usr/bin/env bash
# Makes the seed corpora of the two fuzz targets: workbooks another program writes
# (.xlsx repacked without compression, so that mutations reach the XML, and the main
# parts joined by \x01), binary .xls files of xlwt and, when it is installed,
# LibreOffice, and their bare workbook streams.
# Usage: fuzz/seeds.sh PYTHON XLSX-FOLDER XLS-FOLDER
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
PYTHON="$1"
XLSX="$2"
XLS="$3"
FIXTURES="$ROOT/tests/platform/engine/fixtures/workbooks.py"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$XLSX" "$XLS"
"$PYTHON" "$FIXTURES" openpyxl-template "$work/template.xlsx"
"$PYTHON" "$FIXTURES" units "$work/units.xlsx" 20
"$PYTHON" "$FIXTURES" stored "$work/template.xlsx" "$XLSX/template-stored.xlsx"
"$PYTHON" "$FIXTURES" stored "$work/units.xlsx" "$XLSX/units-stored.xlsx"
cp "$work/template.xlsx" "$work/units.xlsx" "$XLSX/"
"$PYTHON" "$FIXTURES" parts "$work/template.xlsx" "$XLSX/template.parts"
"$PYTHON" "$FIXTURES" parts "$work/units.xlsx" "$XLSX/units.parts"

"$PYTHON" "$FIXTURES" xlwt-template "$XLS/template.xls"
"$PYTHON" "$FIXTURES" xlwt-batch "$XLS/batch.xls"
if command -v soffice >/dev/null; then
  "$PYTHON" "$FIXTURES" libreoffice xls "$work" "$work/template.xlsx" && cp "$work/template.xls" "$XLS/libreoffice.xls"
fi
for f in "$XLS"/*.xls; do
  "$PYTHON" "$FIXTURES" xls-stream "$f" "${f%.xls}.stream"
done
