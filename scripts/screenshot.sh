#!/usr/bin/env bash
# Takes docs/screenshot.png: builds Lumor, starts it under Xvfb, opens a level of the first
# pack through the title menu's password entry, places the pieces of the level's recorded
# solution (the "Lösung" line of its source), starts the beams and photographs the board
# window while they run.
#
#   scripts/screenshot.sh [PASSWORD]          default: KOMPASS (three splitters, four targets)
#
# The positions of the board window's controls are fixed by its layout. Where the title
# menu shows its "Passwort" entry depends on the title window; the script asks the running
# window for nothing, so the entry's centre is given here (override with
# LUMOR_PASSWORT_XY="x y", in pixels of the title window).
set -euo pipefail
cd "$(dirname "$0")/.."

PASSWORD="${1:-KOMPASS}"
SOURCE="data/packs/1_Einstieg.lls"
OUT="docs/screenshot.png"
DISPLAY_NUMBER="${LUMOR_SCREENSHOT_DISPLAY:-:77}"
read -r PASSWORT_X PASSWORT_Y <<<"${LUMOR_PASSWORT_XY:-100 236}"

scripts/setup-debian.sh
cmake --preset default >/dev/null
cmake --build --preset default --target Lumor lumor_data

# The level's recorded solution: "Lösung: ┌ 4,7 | T 10,6" -> "3 4 7" "8 10 6" (slot x y).
solution=$(sed -n "/^Passwort: $PASSWORD\$/,/^Brett:/p" "$SOURCE" | sed -n 's/^Lösung: *//p')
if [ -z "$solution" ]; then
  echo "Kein Level mit dem Passwort $PASSWORD und einer Lösung in $SOURCE" >&2
  exit 2
fi
# The stock's total: placing that many pieces starts the beams by itself (the default
# options start a run when the last piece is placed), and a click on "Start" would pause it.
total=$(sed -n "/^Passwort: $PASSWORD\$/,/^Brett:/p" "$SOURCE" | sed -n 's/^Vorrat: *\([0-9]*\).*/\1/p')
pieces=()
IFS='|' read -ra parts <<<"$solution"
for part in "${parts[@]}"; do
  read -r piece xy <<<"$part"
  case "$piece" in
    "#") slot=1 ;; "+") slot=2 ;; "┌") slot=3 ;; "┐") slot=4 ;;
    "┘") slot=5 ;; "└") slot=6 ;; "~") slot=7 ;; "T") slot=8 ;;
    *) echo "Unbekannter Stein: $piece" >&2; exit 2 ;;
  esac
  pieces+=("$slot ${xy/,/ }")
done

workdir=$(mktemp -d)
cleanup() {
  [ -n "${game_pid:-}" ] && kill "$game_pid" 2>/dev/null || true
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$workdir"
}
trap cleanup EXIT

Xvfb "$DISPLAY_NUMBER" -screen 0 1024x768x24 -nolisten tcp >"$workdir/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY="$DISPLAY_NUMBER"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

# A fresh copy of the program folder, so the player's Config.cfg stays untouched, and a
# data folder of its own: the board window opens at its first size, whatever the player chose.
cp -r build/Lumor "$workdir/Lumor"
rm -f "$workdir/Lumor/Config.cfg"
SDL_AUDIODRIVER=dummy XDG_DATA_HOME="$workdir/daten" "$workdir/Lumor/Lumor" >"$workdir/lumor.log" 2>&1 &
game_pid=$!

title=$(xdotool search --sync --onlyvisible --pid "$game_pid" | head -n1)
xdotool windowmove "$title" 0 0
sleep 2

# Title menu: "Passwort", then the password into the input box.
xdotool mousemove --window "$title" "$PASSWORT_X" "$PASSWORT_Y" click 1
sleep 1
dialog=$(xdotool search --sync --onlyvisible --pid "$game_pid" | grep -vx "$title" | tail -n1)
xdotool windowfocus --sync "$dialog" || true
xdotool type --delay 60 "$PASSWORD"
xdotool key Return

# The board window: its caption names the level and its password.
board=$(xdotool search --sync --onlyvisible --name "Passwort:$PASSWORD")
xdotool windowmove "$board" 0 0
sleep 3.5  # the level's name fades in and out before the stock appears

click() { xdotool mousemove --window "$board" "$1" "$2" click 1; sleep 0.15; }
for p in "${pieces[@]}"; do
  read -r slot x y <<<"$p"
  click $((96 + 72 * (slot - 1))) 16         # stock picture of the slot
  click $((32 * x + 16)) $((48 + 32 * y + 16))  # the board cell
done
[ "${#pieces[@]}" -lt "${total:-0}" ] && click 596 452  # "Start"
sleep "${LUMOR_SCREENSHOT_DELAY:-7.2}"

mkdir -p docs
import -window "$board" "$OUT"
echo "Bildschirmfoto: $OUT"
