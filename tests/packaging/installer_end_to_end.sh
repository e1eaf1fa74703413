#!/usr/bin/env bash
# The per-user installer as a player (not root) meets it, on an X server of its own: the
# read-only installed game chooses "Install", the copy then runs with the editor in its
# menu, and the launcher starts the copy, renewing its program after an update.
#
#   installer_end_to_end.sh BUILD_DIR         (exit 77: skipped, a tool is missing)
set -euo pipefail

# Where the title window shows its third menu entry ("Install" or "Editor").
MENU_ENTRY_2_XY="100 280"

if [ "${1:-}" != "--as-player" ]; then
  build=$(cd "$1" && pwd)
  for tool in Xvfb xdotool cmake; do
    command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is not installed"; exit 77; }
  done
  # cmake --install writes its manifest into the build tree.
  manifest="$build/install_manifest.txt"
  [ -e "$manifest" ] || manifest_dir="$build"
  [ -w "${manifest_dir:-$manifest}" ] || { echo "SKIPPED: this user cannot write $manifest"; exit 77; }
  work=$(mktemp -d "${TMPDIR:-/tmp}/lumor-installer-XXXXXX")
  trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
  chmod 755 "$work"
  DESTDIR="$work/root" cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1 ||
    { cat "$work/install.log"; echo "FAILED: cmake --install"; exit 1; }
  chmod -R a-w "$work/root"
  mkdir -m 700 "$work/home"
  cp "$0" "$work/player.sh"
  if [ "$(id -u)" -eq 0 ]; then
    # root writes into read-only folders; the test needs a player who cannot.
    command -v setpriv >/dev/null || { echo "SKIPPED: setpriv is not installed"; exit 77; }
    chown nobody: "$work/home"
    setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups -- \
      "$work/player.sh" --as-player "$work"
  else
    "$work/player.sh" --as-player "$work"
  fi
  exit $?
fi

work=$2
prefix="$work/root/usr"
installed="$prefix/lib/lumor"
export HOME="$work/home"
unset XDG_DATA_HOME QT_QPA_PLATFORM
copy="$HOME/.local/share/lumor"
entry="$HOME/.local/share/applications/org.example.lumor.desktop"
export XDG_RUNTIME_DIR="$HOME/run" SDL_AUDIODRIVER=dummy
mkdir -m 700 "$XDG_RUNTIME_DIR"

pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT
fail() {
  echo "FAILED: $*" >&2
  exit 1
}
# Waits up to 20 s for a command to succeed.
await() {
  for _ in $(seq 200); do "$@" && return 0; sleep 0.1; done
  return 1
}

Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$HOME/display" 2>"$HOME/xvfb.log" &
pids+=($!)
await test -s "$HOME/display" || fail "Xvfb did not start: $(cat "$HOME/xvfb.log")"
export DISPLAY=":$(cat "$HOME/display")"

# The visible window of a process, within 20 s.
window_of() { timeout 20 xdotool search --sync --onlyvisible --pid "$1" | head -n1; }
# The process (of ours) running the executable $1.
running() {
  for pid in $(pgrep -u "$(id -u)" -x Lumor); do
    [ "$(readlink "/proc/$pid/exe")" = "$1" ] && echo "$pid" && return 0
  done
  return 1
}
choose_entry_2() { xdotool mousemove --window "$1" $MENU_ENTRY_2_XY click 1; }

touch "$installed/probe" 2>/dev/null && fail "the installed folder can be written"

# The installed game, through the launcher, as the desktop entry's Exec line starts it.
PATH="$prefix/bin:$PATH" lumor >"$HOME/game.log" 2>&1 &
pids+=($!)
game=$!
title=$(window_of "$game") || fail "no title menu"
[ "$(readlink "/proc/$game/exe")" = "$installed/Lumor" ] || fail "the launcher did not start $installed/Lumor"
sleep 1
choose_entry_2 "$title"

report=$(timeout 30 xdotool search --sync --onlyvisible --name "^Lumor installieren$" | head -n1) ||
  fail "no report from the installer"
[ -x "$copy/Lumor" ] || fail "no copy in $copy"
cmp -s "$installed/Lumor" "$copy/Lumor" || fail "the copy's program differs"
for f in 1_Einstieg.llp Sound/ziel.wav Skins/Default.bmp; do
  [ -f "$copy/$f" ] || fail "the copy lacks $f"
done
case $(sed -n 's/^Exec=//p' "$entry") in
  *"\"$prefix/bin/lumor\" \"$copy/Lumor\"") ;;
  *) fail "the desktop entry does not start the copy through the launcher: $(cat "$entry")" ;;
esac
[ "$(cat "$copy/.lumor-herkunft")" = "$installed" ] || fail "the copy does not know where it came from"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$entry" || fail "the desktop entry is not valid"
fi
xdotool windowfocus --sync "$report"
xdotool key Return

await running "$copy/Lumor" >/dev/null || fail "the copy was not started"
copy_pid=$(running "$copy/Lumor")
pids+=("$copy_pid")
copy_title=$(window_of "$copy_pid") || fail "the copy shows no title menu"
sleep 1
choose_entry_2 "$copy_title"
await test -f "$copy/Config.cfg" || fail "the copy's third entry is not the editor"
timeout 20 xdotool search --sync --all --onlyvisible --pid "$copy_pid" --name "^Lumor - Editor$" >/dev/null ||
  fail "the copy opened no editor"
[ ! -e "$installed/Config.cfg" ] || fail "the installed folder was written"
kill "$copy_pid" "$game"
await sh -c "! kill -0 $copy_pid 2>/dev/null && ! kill -0 $game 2>/dev/null" || fail "the games did not end"

# The launcher prefers the copy; a copy whose program differs from the installed one
# (the installed game was updated) is brought up to date first, keeping Config.cfg.
printf 'older build' >>"$copy/Lumor"
PATH="$prefix/bin:$PATH" lumor >"$HOME/again.log" 2>&1 &
pids+=($!)
again=$!
window_of "$again" >/dev/null || fail "the launcher started nothing visible"
[ "$(readlink "/proc/$again/exe")" = "$copy/Lumor" ] || fail "the launcher did not start the copy"
cmp -s "$installed/Lumor" "$copy/Lumor" || fail "the copy's program was not renewed"
[ -f "$copy/Config.cfg" ] || fail "the player's Config.cfg is gone"

# A second start from the menu's entry (its Exec line, unescaped as a desktop does) ends
# at once, and with a window manager to raise windows it brings the running copy's window
# to the front of the game started apart from it, from another program folder.
wm=
if command -v openbox >/dev/null; then
  openbox >"$HOME/openbox.log" 2>&1 &
  pids+=($!)
  await sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' && wm=yes
fi
"$installed/Lumor" >"$HOME/other.log" 2>&1 &
pids+=($!)
other_window=$(window_of $!) || fail "the installed game did not start beside the copy"
copy_window=$(window_of "$again")
[ -z "$wm" ] || xdotool windowactivate --sync "$other_window"
exec_line=$(sed -n 's/^Exec=//p' "$entry" | sed 's/\\\\/\\/g')
eval "timeout 20 $exec_line" || fail "the second start did not end: $exec_line"
[ "$(pgrep -c -u "$(id -u)" -x Lumor)" -eq 2 ] || fail "a second copy runs"
if [ -n "$wm" ]; then
  await sh -c "[ \"\$(xdotool getactivewindow)\" = $copy_window ]" ||
    fail "the second start did not raise the running copy"
fi
echo "The copy in $copy runs with the editor in its menu."
