#!/usr/bin/env bash
# Builds and runs the whole test suite for both builds (32-bit x86 and
# x86_64). Editor and drawing tests need an X display: without one, the
# suite runs under a private Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
presets=("$@")
[ ${#presets[@]} -eq 0 ] && presets=(x86 x64)

if [ -z "${DISPLAY:-}" ] && [ -z "${QOLM_IN_XVFB:-}" ]; then
  exec env QOLM_IN_XVFB=1 xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" "${presets[@]}"
fi

bash scripts/build.sh "${presets[@]}"
status=0
for preset in "${presets[@]}"; do
  echo "== test $preset"
  ctest --preset "$preset" -j "${QOLM_TEST_JOBS:-2}" || status=1
done
exit $status
