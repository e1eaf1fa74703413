#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds Lumor and starts it from its program folder.
# With --earlier it builds and starts the earlier release from build/Lumor-frueher/.
set -euo pipefail
cd "$(dirname "$0")/.."
folder=Lumor
targets=(Lumor lumor_data)
if [ "${1:-}" = "--earlier" ]; then
  folder=Lumor-frueher
  targets=(lumor_earlier lumor_earlier_data)
fi
scripts/setup-debian.sh
cmake --preset default >/dev/null
cmake --build --preset default --target "${targets[@]}"
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "Kein Bildschirm gefunden (DISPLAY ist leer): Lumor läuft unter xvfb-run ohne sichtbares Fenster." >&2
  exec xvfb-run -a "build/$folder/Lumor"
fi
exec "build/$folder/Lumor"
