#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
# SANITIZE=1 builds into build-asan/ with AddressSanitizer and UBSan;
# SANITIZE=thread builds into build-tsan/ with ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
if [ "${SANITIZE:-0}" = 1 ]; then
  export BUILD_DIR=build-asan
  scripts/build.sh -DRPV_SANITIZE=ON -DRPV_BUILD_BENCH=OFF
elif [ "${SANITIZE:-0}" = thread ]; then
  export BUILD_DIR=build-tsan
  scripts/build.sh -DRPV_SANITIZE_THREAD=ON
  # A reported race fails the test program (exit code 66 at its end).
  export TSAN_OPTIONS="${TSAN_OPTIONS:-second_deadlock_stack=1 ignore_noninstrumented_modules=1 suppressions=$PWD/tests/tsan.supp}"
else
  export BUILD_DIR=${BUILD_DIR:-build}
  scripts/build.sh
fi
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)"
