#!/usr/bin/env bash
# Runs clang-tidy with the repository's .clang-tidy over src/, tools/ and packaging/, using the
# compile commands of a configured build (default: build/). Exit 1 on any finding.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
[ -f "$build/compile_commands.json" ] || { echo "configure $build first" >&2; exit 2; }
# moc output must exist for the Qt files to parse.
cmake --build "$build" --target lumor_gui_autogen >/dev/null 2>&1 || true
# The compile commands are g++'s: its -Wconversion leaves out sign conversions, clang's does not.
run-clang-tidy-14 -p "$build" -quiet -extra-arg=-Wno-sign-conversion -j "$(nproc)" "$PWD/(src|tools|packaging)/"
