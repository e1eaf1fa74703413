#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh
cmake --preset default >/dev/null
cmake --build --preset default
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
ctest --preset default -j"$(nproc)"
