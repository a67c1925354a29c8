#!/bin/sh
# The runner's calibration file: a scenario printed to PDF files without and with
# offsets of +1.5 mm across and -0.7 mm down for print to file must show every word of
# every file moved by exactly that (pdftotext -bbox, within 0.05 mm); a malformed file
# is refused before anything runs.
#
#   run-calibrated.sh VORRA_RUN ADDIN_LIBRARY SCENARIO
set -eu
run=$1
addin=$2
scenario=$3

work=$(mktemp -d "${TMPDIR:-/tmp}/vorra-calibrated.XXXXXX")
trap 'rm -rf "$work"' EXIT
printf '[#file]\noffset-x = 1.5\noffset-y = -0.7\n' >"$work/calibration"
"$run" --addin "$addin" --work "$work/plain" --print-dir "$work/plain-prints" \
    --expect "${scenario%.scenario}.out" "$scenario" >/dev/null
"$run" --addin "$addin" --work "$work/moved" --print-dir "$work/moved-prints" --calibration "$work/calibration" \
    --expect "${scenario%.scenario}.out" "$scenario" >/dev/null

/usr/bin/python3 - "$work/plain-prints" "$work/moved-prints" <<'PY'
import os, re, subprocess, sys
MM = 72 / 25.4
def words(pdf):
    xml = subprocess.run(["pdftotext", "-bbox", pdf, "-"], capture_output=True, text=True, check=True).stdout
    return re.findall(r'<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>', xml)
plain, moved = (sorted(os.listdir(d)) for d in sys.argv[1:3])
if not plain or len(plain) != len(moved):
    sys.exit("printed %d files without the calibration, %d with it" % (len(plain), len(moved)))
checked = 0
for a, b in zip(plain, moved):
    wa, wb = words(os.path.join(sys.argv[1], a)), words(os.path.join(sys.argv[2], b))
    if len(wa) != len(wb) or not wa:
        sys.exit("%s: %d words without the calibration, %d with it" % (b, len(wa), len(wb)))
    for x, y in zip(wa, wb):
        for i, shift in enumerate((1.5, -0.7, 1.5, -0.7)):
            if y[4] != x[4] or abs(float(y[i]) - float(x[i]) - shift * MM) > 0.05 * MM:
                sys.exit("%s: \"%s\" at %s, expected %s moved by (1.5, -0.7) mm" % (b, y[4], y[:4], x[:4]))
        checked += 1
print("%d words in %d files moved by (1.5, -0.7) mm" % (checked, len(plain)))
PY

printf '[#file]\noffset-x = 1,5\n' >"$work/bad"
status=0
"$run" --addin "$addin" --work "$work/bad-run" --calibration "$work/bad" "$scenario" >/dev/null 2>"$work/err" || status=$?
if [ "$status" -ne 2 ] || ! grep -q 'line 2: "1,5" is not a number' "$work/err"; then
    echo "a malformed calibration file gave status $status:" >&2; cat "$work/err" >&2; exit 1
fi
