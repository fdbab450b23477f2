#!/usr/bin/env bash
# Installs what is missing, builds and runs every test headless; then builds
# the unit tests once more with AddressSanitizer and UBSan and runs them
# (SKARN_SANITIZE=0 skips that pass); then builds, installs, tries and
# removes the Debian package (SKARN_PACKAGE=0 skips that). Extra arguments
# go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
(cd "${SKARN_BUILD_DIR:-build}" && ctest --output-on-failure --timeout 300 "$@")
if [ "${SKARN_SANITIZE:-1}" != 0 ]; then
  sanitize_dir=${SKARN_SANITIZE_BUILD_DIR:-build-sanitize}
  cmake -S . -B "$sanitize_dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSKARN_SANITIZE=ON
  cmake --build "$sanitize_dir" --target skarn_unit_tests
  (cd "$sanitize_dir" && ctest --output-on-failure --timeout 300 -L '^unit$' "$@")
fi
if [ "${SKARN_PACKAGE:-1}" != 0 ]; then
  scripts/test-package.sh
fi
