#!/usr/bin/env bash
# Installs what is missing, builds, and shows the sample book (or FILE): in
# the window when there is a display ($DISPLAY or $WAYLAND_DISPLAY), else
# page 1 is rendered to build/page1.png.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
export RPV_HOME=${RPV_HOME:-$PWD/build/home}
mkdir -p "$RPV_HOME"
FILE=${1:-samples/sample.sjis.txt}
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec build/app/rpv "$FILE"
fi
build/app/rpv --render build/page1.png --page 1 "$FILE"
echo "No display: page 1 of $FILE is in $PWD/build/page1.png"
