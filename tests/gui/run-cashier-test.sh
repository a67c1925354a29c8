#!/usr/bin/env bash
# The GUI end-to-end test (see CMakeLists.txt), run inside cups-sandbox.sh:
#   run-cashier-test.sh BUILD SCRATCH BILL_CHECK
# Builds the Debian package from BUILD, then runs cashier.py as a new user (a home
# folder of its own) on a virtual X display with the accessibility bus, and removes
# the package again at the end. Exit 77 (skipped) when a tool it needs is missing or
# the package is installed already (it would be replaced).
set -euo pipefail
build=$1 scratch=$2 check=$3
here=$(cd "$(dirname "$0")" && pwd)
skip() { echo "gui test skipped: $*" >&2; exit 77; }
for tool in Xvfb xdotool scrot dbus-run-session dpkg cpack; do
  command -v "$tool" >/dev/null || skip "$tool is not installed"
done
[ -x /usr/libexec/at-spi-bus-launcher ] || skip "at-spi2-core is not installed"
/usr/bin/python3 -c "import pyatspi" 2>/dev/null || skip "python3-pyatspi is not installed"
if dpkg-query -W -f='${Status}' vorra 2>/dev/null | grep -q "install ok installed"; then
  skip "the package vorra is installed already"
fi

shots="$scratch/screenshots"
rm -rf "$shots" "$scratch/home" "$scratch/package"
mkdir -p "$shots" "$scratch/home" "$scratch/package" "$scratch/runtime"
chmod 700 "$scratch/runtime"

echo "building the package"
(cd "$build" && cpack -G DEB -B "$scratch/package" >"$scratch/package/cpack.log" 2>&1) ||
  { cat "$scratch/package/cpack.log" >&2; exit 1; }
deb=$(ls "$scratch"/package/vorra_*.deb)

display=:$((90 + $$ % 100))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$scratch/xvfb.log" 2>&1 &
xvfb=$!
wm=
cleanup() {
  kill "$wm" "$xvfb" 2>/dev/null || true
  dpkg -P vorra >/dev/null 2>&1 || true
}
trap cleanup EXIT
for _ in $(seq 50); do xdpyinfo -display "$display" >/dev/null 2>&1 && break; sleep 0.1; done
DISPLAY=$display openbox --sm-disable >"$scratch/openbox.log" 2>&1 &
wm=$!
sleep 1

export DISPLAY=$display HOME="$scratch/home" XDG_RUNTIME_DIR="$scratch/runtime"
unset XDG_DATA_HOME XDG_CONFIG_HOME VORRA_PRINT_DIR VORRA_ADDIN VORRA_HOST_PROGRAM QT_QPA_PLATFORM
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 LANG=C.UTF-8
dbus-run-session -- bash -c '
  /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
  bus=$!
  sleep 1
  status=0
  /usr/bin/python3 "$0" --deb "$1" --bill-check "$2" --out "$3" || status=$?
  kill $bus 2>/dev/null || true
  exit $status
' "$here/cashier.py" "$deb" "$check" "$shots"
