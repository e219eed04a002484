#!/usr/bin/env bash
# Installs every Debian package the build, the program and the tests need. Safe to run again.
set -euo pipefail
packages=(
  cmake ninja-build g++ pkg-config git
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev nlohmann-json3-dev libsqlite3-dev nettle-dev qtkeychain-qt6-dev
  clang clang-format fonts-dejavu-core dpkg-dev
  xvfb xdotool imagemagick qt6-qpa-plugins locales tshark ansible-core
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: missing packages: ${missing[*]} (run as root to install them)" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# The tests show pages under a German locale (a decimal comma) to check that numbers keep
# their decimal point; generate it when it is missing.
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: the locale de_DE.UTF-8 is missing; the tests that need it are skipped" \
      "(run as root to generate it)" >&2
  else
    sed -i 's/^# *\(de_DE\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -qx 'de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen
  fi
fi
