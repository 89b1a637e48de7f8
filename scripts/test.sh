#!/usr/bin/env bash
# Runs the whole test suite:
#   - the GoogleTest suites of the 32-bit x86 and the x86_64 build,
#   - the same suites under AddressSanitizer and UBSan (asan preset),
#   - the threaded editor tests under ThreadSanitizer (scripts/tsan.sh),
#   - valgrind memcheck of the plug-in driven by qolm-host (scripts/valgrind.sh),
#   - every fuzz target for 30 s (scripts/fuzz.sh).
# `scripts/test.sh quick` runs only the x86 and x64 suites; naming presets
# (x86, x64, asan) runs just those suites. Editor and drawing tests need an
# X display: without one, everything runs under a private Xvfb.
#
# 32-bit programs run as scripts/run-x86 decides (natively, or under
# qemu-user where the kernel refuses them; QOLM_X86_RUNNER=qemu forces
# emulation). Where they run natively, a short subset of the x86 suite also
# runs emulated, so that path stays tested on every machine.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
cd "$qolm_root"

mode=all
presets=()
case "${1:-all}" in
  all) presets=(x86 x64 asan) ;;
  quick) mode=quick; presets=(x86 x64) ;;
  *) mode=presets; presets=("$@") ;;
esac

qolm_in_xvfb "$0" "$@"
echo "== $(scripts/run-x86 --describe)"
x86_way="$(scripts/run-x86 --which)"

# The x86 tests that start 32-bit children and load the library through its
# entry point: cheap enough to run a second time under qemu-user.
emulated_subset='^(Entry|Exports|HostTool|Render|plugin_entry|host_tool)\.'

# The sanitizer suite and the fuzzers check for leaks unless this kernel
# keeps LeakSanitizer from working at all.
if [ "$mode" = all ] || [[ " ${presets[*]} " == *" asan "* ]]; then
  if ! qolm_lsan_works; then
    echo "== LeakSanitizer cannot stop the world on this kernel (its tracer fails): this run has no leak detection"
    export ASAN_OPTIONS="detect_leaks=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
  fi
fi

bash scripts/build.sh "${presets[@]}"
failed=()
for preset in "${presets[@]}"; do
  echo "== test $preset"
  ctest --preset "$preset" -j "${QOLM_TEST_JOBS:-2}" || failed+=("$preset")
  if [ "$preset" = x86 ] && [ "$x86_way" = native ]; then
    echo "== test x86 again under qemu-user (QOLM_X86_RUNNER=qemu): $emulated_subset"
    QOLM_X86_RUNNER=qemu ctest --preset x86 -j "${QOLM_TEST_JOBS:-2}" -R "$emulated_subset" \
      || failed+=("x86-emulated")
  fi
done

if [ "$mode" = all ]; then
  echo "== ThreadSanitizer"
  bash scripts/tsan.sh || failed+=(tsan)
  echo "== valgrind memcheck"
  bash scripts/valgrind.sh || failed+=(valgrind)
  echo "== fuzzing, 30 s a target"
  bash scripts/fuzz.sh 30 || failed+=(fuzz)
fi

if [ ${#failed[@]} -gt 0 ]; then
  echo "FAILED: ${failed[*]}"
  exit 1
fi
echo "all test steps passed"
