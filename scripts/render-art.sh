#!/usr/bin/env bash
# Draws the artwork (scripts/make-art.py -> art/*.svg) and renders it to the
# PNGs under modules/img/ that the scene loads.
set -euo pipefail
cd "$(dirname "$0")/.."
python3 scripts/make-art.py
tool_dir=${TMPDIR:-/tmp}/skarn-render-art
cmake -S scripts/render-art -B "$tool_dir" -G Ninja >/dev/null
cmake --build "$tool_dir" >/dev/null
QT_QPA_PLATFORM=offscreen "$tool_dir/render-art" art modules/img
