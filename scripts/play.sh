#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds Lumor and starts it from its program folder.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh
cmake --preset default >/dev/null
cmake --build --preset default --target Lumor lumor_data
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "Kein Bildschirm gefunden (DISPLAY ist leer): Lumor läuft unter xvfb-run ohne sichtbares Fenster." >&2
  exec xvfb-run -a build/Lumor/Lumor
fi
exec build/Lumor/Lumor
