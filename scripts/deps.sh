#!/usr/bin/env bash
# Installs the Debian 12 packages the reader and its tests need (only the
# missing ones; apt-get needs root, so sudo is used when available).
set -euo pipefail
pkgs=(g++ cmake ninja-build pkg-config
      qt6-base-dev qt6-svg-dev libfontconfig-dev libfreetype-dev libharfbuzz-dev
      libjpeg-dev libpng-dev libarchive-dev
      libgtest-dev libgmock-dev libbenchmark-dev
      fonts-ipafont-gothic fonts-ipafont-mincho fonts-ipamj-mincho
      qt6-translations-l10n
      xvfb xauth dpkg-dev)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then exit 0; fi
echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
