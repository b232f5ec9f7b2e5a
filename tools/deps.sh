#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, when missing.
set -euo pipefail
pkgs=(cmake ninja-build g++ ccache pkg-config qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-psql
      libpugixml-dev libsodium-dev libarchive-dev libsqlite3-dev libgtest-dev libgmock-dev libbenchmark-dev
      libsecret-1-dev dbus-daemon dbus-bin gnome-keyring libsecret-tools postgresql xvfb xauth x11-apps imagemagick fonts-noto-cjk qt6-tools-dev qt6-charts-dev libicu-dev qt6-translations-l10n
      at-spi2-core python3-pyatspi gir1.2-atspi-2.0 poppler-utils)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
