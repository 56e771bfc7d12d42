#!/usr/bin/env bash
# Installs what is missing, builds, and shows the sample book (or FILE).
# Without a display (no $DISPLAY and no $WAYLAND_DISPLAY) -- and, until the
# window exists, always -- page 1 is rendered to build/page1.png instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
export RPV_HOME=${RPV_HOME:-$PWD/build/home}
mkdir -p "$RPV_HOME"
FILE=${1:-samples/sample.sjis.txt}
build/app/rpv --render build/page1.png --page 1 "$FILE"
echo "Page 1 of $FILE is in $PWD/build/page1.png"
