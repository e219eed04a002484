#!/usr/bin/env bash
# Installs every Debian package the build, the program and the tests need. Safe to run again.
# Packages are installed without their recommended ones, so a package that a step needs and
# that Debian only recommends is named here too:
#   libclang-rt-14-dev  clang's runtimes: libFuzzer and the sanitizers of the fuzz build
#                       (recommended by libclang-common-14-dev)
#   file                the Debian package step: CPack's DEB generator runs it on every file
#   procps              ps: the real-window test watches the program with it
set -euo pipefail
packages=(
  cmake ninja-build g++ pkg-config git file procps
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev nlohmann-json3-dev libsqlite3-dev nettle-dev qtkeychain-qt6-dev
  clang libclang-rt-14-dev clang-format fonts-dejavu-core dpkg-dev
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
