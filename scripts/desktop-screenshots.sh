#!/usr/bin/env bash
# Pictures of the desktop version under a virtual X display, into docs/screenshots/:
#   desktop-ribbon.png       the spreadsheet window with the add-in's ribbon tab
#   desktop-commandbar.png   the same on a host version below 12 (command bar)
#   Frm_收付款人.png          the payee and payer form with its list filled by a search
#   TianxiePJ_frm.png        the fill-in form; TianxiePJ_frm-typed.png after typing
#   forms/*.png              every form of the add-in, shown by the page docs/forms.md
#   grid-overflow.png        the grid: texts running on into empty cells, a number too wide
#   print-preview.png        the print preview of a transfer cheque over a picture of its form
#   calibration-page.png     the calibration page of the transfer cheque's paper, with offsets
#                            of +1.5 mm and -0.7 mm in force (its PDF drawn by pdftoppm)
# The launch marker is left beside the add-in first, as the launcher does. The desktop is
# started through its driver, vorra-desktop-driver (tools/desktopdriver), which takes
# the pictures.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
OUT=docs/screenshots
mkdir -p "$OUT"
cmake --build "$BUILD" -j2 --target vorra vorra-desktop-driver desktop_addin_forms_tests desktop_app_tests print_tests

marker="$BUILD/lib/setting.ini"
desktop() { xvfb-run -a -s "-screen 0 1280x900x24" "$BUILD/bin/vorra-desktop-driver" "$@"; }

touch "$marker"
desktop --sample --screenshot "$OUT/desktop-ribbon.png"
touch "$marker"
desktop --host-version 11.0 --sample --screenshot "$OUT/desktop-commandbar.png"
# The payee and payer form, searched by the pinyin initials "sz".
desktop --sample --invoke TianxiePJ --type "Frm_收付款人.TextBox1=sz" \
  --form-screenshot "Frm_收付款人=$OUT/Frm_收付款人.png" || true
rm -f "$marker"
VORRA_SCREENSHOT_DIR="$OUT" xvfb-run -a "$BUILD/bin/desktop_addin_forms_tests" --gtest_filter='AddinForms.*'
VORRA_SCREENSHOT_DIR="$OUT" xvfb-run -a "$BUILD/bin/desktop_app_tests" --gtest_filter='SheetGridTest.TextsRunOn*'
# The print preview over the blank form (drawn by the cheque picture test, as a scan
# would be) and the calibration page.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
VORRA_FORM_PICTURE="$scratch/form.png" QT_QPA_PLATFORM=offscreen "$BUILD/bin/print_tests" \
  --gtest_filter='ChequePicture.*' >/dev/null
XDG_CONFIG_HOME="$scratch/config" desktop --sample --no-addin --sample-bill 转账支票 --form-picture "$scratch/form.png" \
  --preview-screenshot "$OUT/print-preview.png"
printf '[#file]\noffset-x = 1.5\noffset-y = -0.7\n' >"$scratch/calibration"
XDG_CONFIG_HOME="$scratch/config" desktop --sample --no-addin --sample-bill 转账支票 --calibration "$scratch/calibration" \
  --calibration-pdf "$scratch/calibration.pdf"
pdftoppm -png -r 110 -singlefile "$scratch/calibration.pdf" "$OUT/calibration-page"
ls -l "$OUT"
