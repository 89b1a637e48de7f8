#!/usr/bin/env bash
# Runs the plug-in under valgrind's memcheck, driven by qolm-host:
# a render of the built-in demo signal to a WAV file and a screenshot of the
# editor to a PNG file. Any memcheck error fails the run. Only false
# positives inside ld.so, Mesa and libX11 are suppressed (tests/valgrind.supp).
#
#   scripts/valgrind.sh [BUILD_DIR]
#
# By default the 32-bit build (build/x86), the primary target, where this
# machine runs i386 programs natively: valgrind cannot run under qemu-user, so
# elsewhere it checks the x86_64 build (build/x64) and says so. The build dir
# must hold tools/qolm-host and Qolm.so (the default ones are built if need be).
# Without a DISPLAY the screenshot runs under a private Xvfb.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
root="$qolm_root"
if [ $# -gt 0 ]; then
  build="$1"
elif [ "$("$root/scripts/run-x86" --which)" = native ]; then
  build="$root/build/x86"
else
  build="$root/build/x64"
  echo "== valgrind: $("$root/scripts/run-x86" --describe); memcheck checks the x86_64 build instead"
fi
case "$build" in /*) ;; *) build="$PWD/$build" ;; esac
qolm_in_xvfb "$0" "$build"

if [ ! -x "$build/tools/qolm-host" ] || [ ! -f "$build/Qolm.so" ]; then
  case "$build" in
    "$root/build/x86") (cd "$root" && bash scripts/build.sh x86) ;;
    "$root/build/x64") (cd "$root" && bash scripts/build.sh x64) ;;
    *) echo "valgrind.sh: no qolm-host and Qolm.so in $build" >&2; exit 2 ;;
  esac
fi
host="$build/tools/qolm-host"
plugin="$build/Qolm.so"
if file -L "$plugin" | grep -q "ELF 32-bit" && [ "$("$root/scripts/run-x86" --which)" != native ]; then
  echo "valgrind.sh: $plugin is a 32-bit build and this machine cannot run i386 programs natively" >&2
  exit 2
fi
echo "== valgrind: $(file -L -b "$plugin" | cut -d, -f1-2)"

work="$(mktemp -d /tmp/qolm-valgrind-XXXXXX)"
trap 'rm -rf "$work"' EXIT

# softpipe: Mesa's plain software renderer, without llvmpipe's generated
# code, which memcheck cannot follow.
export GALLIUM_DRIVER=softpipe
export LIBGL_ALWAYS_SOFTWARE=1
memcheck=(valgrind --tool=memcheck --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite
  --show-leak-kinds=definite --track-origins=yes --num-callers=30 --keep-debuginfo=yes
  --suppressions="$root/tests/valgrind.supp" --gen-suppressions=all)

status=0
echo "== valgrind: render of the demo signal"
if "${memcheck[@]}" --log-file="$work/render.log" "$host" render --plugin "$plugin" --quiet "$work/demo.wav"; then
  [ -s "$work/demo.wav" ] || { echo "render wrote no file" >&2; status=1; }
else
  status=1
fi
grep -E "ERROR SUMMARY|definitely lost|Invalid|uninitialised" "$work/render.log" || true
[ $status -eq 0 ] || cat "$work/render.log"

echo "== valgrind: screenshot of the editor"
shot=0
if "${memcheck[@]}" --log-file="$work/screenshot.log" "$host" screenshot --plugin "$plugin" --timeout 120 \
  "$work/editor.png"; then
  [ -s "$work/editor.png" ] || { echo "screenshot wrote no file" >&2; shot=1; }
else
  shot=1
fi
grep -E "ERROR SUMMARY|definitely lost|Invalid|uninitialised" "$work/screenshot.log" || true
[ $shot -eq 0 ] || { cat "$work/screenshot.log"; status=1; }

if [ $status -eq 0 ]; then echo "== valgrind: no errors"; else echo "== valgrind: FAILED" >&2; fi
exit $status
