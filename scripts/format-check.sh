#!/usr/bin/env bash
# Fails, naming the files, when a tracked C++ file differs from .clang-format.
# `scripts/format-check.sh --fix` formats them instead.
set -euo pipefail
cd "$(dirname "$0")/.."
fmt=$(command -v clang-format-14 || command -v clang-format || true)
[ -n "$fmt" ] || { echo "clang-format is not installed (scripts/setup-debian.sh installs it)" >&2; exit 2; }
mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
  "$fmt" -i "${files[@]}"
  exit 0
fi
off=()
for f in "${files[@]}"; do
  "$fmt" --dry-run --Werror "$f" >/dev/null 2>&1 || off+=("$f")
done
if [ ${#off[@]} -gt 0 ]; then
  echo "Not formatted as .clang-format says (scripts/format-check.sh --fix):" >&2
  printf '  %s\n' "${off[@]}" >&2
  exit 1
fi
