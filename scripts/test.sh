#!/usr/bin/env bash
# Runs every test: installs what is missing, builds, runs CTest.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
build=${REMBRIX_BUILD_DIR:-$root/build}
cd "$build"
ctest --output-on-failure -j "$(nproc)"
