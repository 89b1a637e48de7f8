#!/usr/bin/env bash
# The main job on a fresh machine: installs what is needed, builds both
# libraries and shows what a host sees of the 32-bit plug-in.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh x86 x64
echo "== what a host sees of build/x86/Qolm.so"
build/x86/tools/qolm-host info build/x86/Qolm.so
echo "== what a host sees of build/x64/Qolm.so"
build/x64/tools/qolm-host info build/x64/Qolm.so
