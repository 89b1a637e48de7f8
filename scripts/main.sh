#!/usr/bin/env bash
# The main job on a fresh machine: installs what is needed, builds both
# libraries, shows what a host sees of the 32-bit plug-in, renders the
# built-in demo through it and takes screenshots of its editor (under a
# private Xvfb when there is no display). Results go to out/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh x86 x64
host=build/x86/tools/qolm-host
mkdir -p out
echo "== what a host sees of build/x86/Qolm.so"
"$host" info build/x86/Qolm.so
echo "== what a host sees of build/x64/Qolm.so"
build/x64/tools/qolm-host info build/x64/Qolm.so
echo "== render the built-in demo (sweep and noise, 48 kHz) through the 32-bit plug-in"
"$host" render --plugin build/x86/Qolm.so --param "Cut Off=1000" --param "Res=50" out/demo-qolm.wav
echo "== screenshots of the editor"
"$host" screenshot --plugin build/x86/Qolm.so out/editor-main.png
"$host" screenshot --plugin build/x86/Qolm.so --page 2 out/editor-info.png
echo "done: out/demo-qolm.wav, out/editor-main.png, out/editor-info.png"
