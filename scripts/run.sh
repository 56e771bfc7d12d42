#!/usr/bin/env bash
# Installs what is missing, builds, and runs the reader on the sample book:
# in a window when there is a display, else as a picture of its first page
# (build/sample-page1.png).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
export RPV_HOME=${RPV_HOME:-$PWD/build/home}
mkdir -p "$RPV_HOME"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec build/app/rpv "${@:-samples/sample.sjis.txt}"
fi
out=build/sample-page1.png
build/app/rpv --render "$out" "${@:-samples/sample.sjis.txt}"
echo "No display: wrote the first page to $out"
