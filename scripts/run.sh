#!/usr/bin/env bash
# Installs what is missing, builds and starts Skarn Config. Without a
# SKARN_VIRTUAL_MOUSE of its own it talks to the built-in virtual mouse of
# family 553, so the whole program can be tried without the hardware.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
export SKARN_VIRTUAL_MOUSE=${SKARN_VIRTUAL_MOUSE-553}
exec "${SKARN_BUILD_DIR:-build}/skarn-config"
