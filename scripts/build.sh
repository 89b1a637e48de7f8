#!/usr/bin/env bash
# Configures and builds the given presets (default: x86 and x64).
set -euo pipefail
source "$(dirname "$0")/lib.sh"
cd "$qolm_root"
presets=("$@")
[ ${#presets[@]} -eq 0 ] && presets=(x86 x64)
jobs="${QOLM_JOBS:-$(nproc)}"
for preset in "${presets[@]}"; do
  echo "== build $preset"
  qolm_configure "$preset"
  cmake --build --preset "$preset" -j "$jobs"
done
