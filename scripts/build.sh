#!/usr/bin/env bash
# Configures and builds the given presets (default: x86 and x64).
set -euo pipefail
cd "$(dirname "$0")/.."
presets=("$@")
[ ${#presets[@]} -eq 0 ] && presets=(x86 x64)
jobs="${QOLM_JOBS:-$(nproc)}"
for preset in "${presets[@]}"; do
  echo "== build $preset"
  cmake --preset "$preset" > "build-$preset.configure.log" 2>&1 || { cat "build-$preset.configure.log"; exit 1; }
  rm -f "build-$preset.configure.log"
  cmake --build --preset "$preset" -j "$jobs"
done
