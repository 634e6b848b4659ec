#!/usr/bin/env bash
# The demo install: installs what is missing, builds, packs a sample product
# and runs the setup program on a fresh demo machine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
if [ ! -x "${REMBRIX_BUILD_DIR:-$root/build}/rembrix-setup" ]; then
  echo "The demo install is not there yet: the setup program has not been built in this version."
  exit 0
fi
exec "$root/scripts/run-demo.sh"
