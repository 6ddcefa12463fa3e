#!/usr/bin/env bash
# Builds the web folder (preset web) for the browser test: exits 77 when Emscripten is
# not installed.
#   build_web.sh SOURCE_DIR
set -euo pipefail
cd "$1"
if ! command -v em++ >/dev/null; then
  echo "SKIP: em++ is not installed (scripts/test installs it)"
  exit 77
fi
cmake --preset web >/dev/null
cmake --build --preset web -j2
