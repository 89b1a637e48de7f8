#!/usr/bin/env bash
# Runs the whole test suite:
#   - the GoogleTest suites of the 32-bit x86 and the x86_64 build,
#   - the same suites under AddressSanitizer and UBSan (asan preset),
#   - the threaded editor tests under ThreadSanitizer (scripts/tsan.sh),
#   - valgrind memcheck of the 32-bit plug-in driven by qolm-host,
#   - every fuzz target for 30 s (scripts/fuzz.sh).
# `scripts/test.sh quick` runs only the x86 and x64 suites; naming presets
# (x86, x64, asan) runs just those suites. Editor and drawing tests need an
# X display: without one, everything runs under a private Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=all
presets=()
case "${1:-all}" in
  all) presets=(x86 x64 asan) ;;
  quick) mode=quick; presets=(x86 x64) ;;
  *) mode=presets; presets=("$@") ;;
esac

if [ -z "${DISPLAY:-}" ] && [ -z "${QOLM_IN_XVFB:-}" ]; then
  exec env QOLM_IN_XVFB=1 xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" "$@"
fi

bash scripts/build.sh "${presets[@]}"
failed=()
for preset in "${presets[@]}"; do
  echo "== test $preset"
  ctest --preset "$preset" -j "${QOLM_TEST_JOBS:-2}" || failed+=("$preset")
done

if [ "$mode" = all ]; then
  echo "== ThreadSanitizer"
  bash scripts/tsan.sh || failed+=(tsan)
  echo "== valgrind memcheck (32-bit)"
  bash scripts/valgrind.sh build/x86 || failed+=(valgrind)
  echo "== fuzzing, 30 s a target"
  bash scripts/fuzz.sh 30 || failed+=(fuzz)
fi

if [ ${#failed[@]} -gt 0 ]; then
  echo "FAILED: ${failed[*]}"
  exit 1
fi
echo "all test steps passed"
