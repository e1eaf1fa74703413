#!/usr/bin/env bash
# Takes docs/editor.png: builds Lumor, starts it under Xvfb from a fresh copy of the program
# folder, opens the editor from the title menu, loads the first pack and photographs the
# editor with one of its levels chosen in the level list.
#
#   scripts/editor-screenshot.sh [LEVEL]          default: 21 (three splitters, four targets)
#
# Like scripts/screenshot.sh it asks the running windows for nothing: the places of the
# title menu's "Editor" entry, the editor's "Laden" button and its level list are given
# here, in pixels of their windows.
set -euo pipefail
cd "$(dirname "$0")/.."

LEVEL="${1:-21}"
OUT="docs/editor.png"
DISPLAY_NUMBER="${LUMOR_SCREENSHOT_DISPLAY:-:77}"
EDITOR_ENTRY_XY="100 280"
LADEN_XY="802 609"
LEVEL_LIST_XY="800 440"

scripts/setup-debian.sh
cmake --preset default >/dev/null
cmake --build --preset default --target Lumor lumor_data

workdir=$(mktemp -d)
cleanup() {
  [ -n "${game_pid:-}" ] && kill "$game_pid" 2>/dev/null || true
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$workdir"
}
trap cleanup EXIT

Xvfb "$DISPLAY_NUMBER" -screen 0 1280x1024x24 -nolisten tcp >"$workdir/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY="$DISPLAY_NUMBER"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
# A display already in use belongs to someone else: photograph nothing there.
kill -0 "$xvfb_pid" 2>/dev/null || { echo "Display $DISPLAY_NUMBER ist belegt" >&2; exit 2; }

# A fresh copy of the program folder, so the player's Config.cfg stays untouched.
cp -r build/Lumor "$workdir/Lumor"
rm -f "$workdir/Lumor/Config.cfg" "$workdir/Lumor/Fortschritt.dat"
SDL_AUDIODRIVER=dummy "$workdir/Lumor/Lumor" >"$workdir/lumor.log" 2>&1 &
game_pid=$!

title=$(xdotool search --sync --onlyvisible --pid "$game_pid" | head -n1)
sleep 1
xdotool mousemove --window "$title" $EDITOR_ENTRY_XY click 1
editor=$(xdotool search --sync --onlyvisible --name "^Lumor - Editor$" | head -n1)
xdotool windowmove "$editor" 0 0
sleep 1
xdotool mousemove --window "$editor" $LADEN_XY click 1
sleep 1
xdotool key Return  # the first pack of the list
sleep 1
xdotool mousemove --window "$editor" $LEVEL_LIST_XY click 1
xdotool key Home
for _ in $(seq $((LEVEL - 1))); do xdotool key Down; done
xdotool mousemove 1200 1000  # the pointer out of the picture
sleep 1

mkdir -p docs
import -window "$editor" "$OUT"
echo "Bildschirmfoto: $OUT"
