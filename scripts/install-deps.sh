#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running the system need.
# Safe to run again: apt-get only installs what is missing.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config ccache
  libgtest-dev libgmock-dev libbenchmark-dev
  libicu-dev libssl-dev libzip-dev zlib1g-dev libpugixml-dev libfreetype-dev libfontconfig-dev
  libcurl4-openssl-dev libcpp-httplib-dev
  qt6-base-dev qt6-translations-l10n libgl-dev adwaita-icon-theme dbus-daemon
  fonts-wqy-microhei poppler-utils
  python3 python3-openpyxl python3-xlrd python3-xlwt libreoffice-calc-nogui
  xvfb xauth clang libclang-rt-14-dev
  libcups2-dev cups-daemon cups-client printer-driver-cups-pdf
  xdotool scrot x11-utils openbox dbus at-spi2-core python3-pyatspi
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
