#!/bin/bash
# Installs the Debian packages that building, running and testing Pelorin need
# (marble-qt-data: the land of the Track Replay window's map; libzip and GDAL: the
# exports; gpsbabel: a test reads the GPX back with it).
# Safe to run again: does nothing when everything is there.
set -euo pipefail
PACKAGES=(cmake g++ make pkg-config qt6-base-dev libgtest-dev libgmock-dev libbenchmark-dev
          libxml2-dev libxml2-utils libfreexl-dev python3 python3-xlrd xvfb xauth
          clang-14 libclang-rt-14-dev desktop-file-utils dpkg-dev file time marble-qt-data
          libzip-dev libgdal-dev libsqlite3-dev gpsbabel)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}" >&2
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
fi
