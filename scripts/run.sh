#!/usr/bin/env bash
# Installs what is missing, builds, and runs the reader on the sample book.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
export RPV_HOME=${RPV_HOME:-$PWD/build/home}
mkdir -p "$RPV_HOME"
exec build/app/rpv "${@:-samples/sample.sjis.txt}"
