#!/usr/bin/env bash
# The main job on a fresh machine: installs what is needed, builds both
# libraries, shows what a host sees of each, renders the built-in demo
# through the 32-bit plug-in and takes screenshots of its editor (under a
# private Xvfb when there is no display). Results go to out/.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
cd "$qolm_root"
bash scripts/setup.sh
echo "== $(scripts/run-x86 --describe)"
bash scripts/build.sh x86 x64
host=build/x86/tools/qolm-host
mkdir -p out
echo "== what a host sees of build/x86/Qolm.so"
qolm_x86 "$host" info build/x86/Qolm.so
echo "== what a host sees of build/x64/Qolm.so"
build/x64/tools/qolm-host info build/x64/Qolm.so
echo "== render the built-in demo (sweep and noise, 48 kHz) through the 32-bit plug-in"
qolm_x86 "$host" render --plugin build/x86/Qolm.so --param "Cut Off=1000" --param "Res=50" out/demo-qolm.wav
echo "== screenshots of the editor"
# Generous waits: under qemu-user the GL driver runs emulated too.
qolm_x86 "$host" screenshot --timeout 120 --plugin build/x86/Qolm.so out/editor-main.png
qolm_x86 "$host" screenshot --timeout 120 --plugin build/x86/Qolm.so --page 2 out/editor-info.png
echo "done: out/demo-qolm.wav, out/editor-main.png, out/editor-info.png"
