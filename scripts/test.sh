#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds everything and runs every test.
# LUMOR_PRESET picks the CMake preset (default; .ci/run uses "ci", warnings as errors).
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${LUMOR_PRESET:-default}"
scripts/setup-debian.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
ctest --preset "$preset" -j"$(nproc)"
