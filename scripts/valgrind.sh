#!/usr/bin/env bash
# Runs the 32-bit plug-in under valgrind's memcheck, driven by qolm-host:
# a render of the built-in demo signal to a WAV file and a screenshot of the
# editor to a PNG file. Any memcheck error fails the run. Only false
# positives inside ld.so, Mesa and libX11 are suppressed (tests/valgrind.supp).
#
#   scripts/valgrind.sh [BUILD_DIR]   (default: build/x86, built with its preset)
#
# The build dir must hold a 32-bit build with tools/qolm-host and Qolm.so.
# Without a DISPLAY the screenshot runs under a private Xvfb.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build/x86}"
case "$build" in /*) ;; *) build="$PWD/$build" ;; esac

if [ -z "${DISPLAY:-}" ] && [ -z "${QOLM_IN_XVFB:-}" ]; then
  exec env QOLM_IN_XVFB=1 xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" "$build"
fi

if [ ! -x "$build/tools/qolm-host" ] || [ ! -f "$build/Qolm.so" ]; then
  if [ "$build" = "$root/build/x86" ]; then
    (cd "$root" && bash scripts/build.sh x86)
  else
    echo "valgrind.sh: no qolm-host and Qolm.so in $build" >&2
    exit 2
  fi
fi
host="$build/tools/qolm-host"
plugin="$build/Qolm.so"
if ! file -L "$plugin" | grep -q "ELF 32-bit"; then
  echo "valgrind.sh: $plugin is not a 32-bit build" >&2
  exit 2
fi

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
