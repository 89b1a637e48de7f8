#!/usr/bin/env bash
# Builds the plug-in and the tests that process audio while the editor is
# open with ThreadSanitizer (the tsan preset), and runs them. Any data race
# ends the run with a report and a failure.
#
#   scripts/tsan.sh [BUILD_DIR]     (default: build/tsan, the preset's own)
# Extra configure arguments may come in QOLM_CMAKE_ARGS.
#
# Without a DISPLAY the tests run under a private Xvfb.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
root="$qolm_root"
build="${1:-$root/build/tsan}"
case "$build" in /*) ;; *) build="$PWD/$build" ;; esac
qolm_in_xvfb "$0" "$build"

cd "$root"
mkdir -p "$(dirname "$build")"
echo "== configure $build (tsan preset)"
# shellcheck disable=SC2086
qolm_configure tsan -B "$build" ${QOLM_CMAKE_ARGS:-}

# The tests that drive the editor while audio runs on other threads: the
# stress tests, the pointer-driven editor tests and the real-time tests. (The
# X error-handler tests start several window threads at once, and under
# ThreadSanitizer their concurrent loading of the GL driver can deadlock in
# the sanitizer's own library hook; they run in the other suites.)
tests=(test_editor_stress)
for t in test_plugin_editor test_realtime; do
  if cmake --build "$build" --target help | grep -q "^$t:"; then tests+=("$t"); fi
done
echo "== build ${tests[*]}"
cmake --build "$build" -j "${QOLM_JOBS:-2}" --target Qolm "${tests[@]}"

# halt_on_error: the first race fails the run. Only the GL driver's and
# Xlib's own internals are suppressed (tests/tsan.supp); none of ours.
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 history_size=4 suppressions=$root/tests/tsan.supp ${TSAN_OPTIONS:-}"
status=0
for t in "${tests[@]}"; do
  exe="$(find "$build/tests" -type f -name "$t" -perm -u+x | head -n 1)"
  if [ -z "$exe" ]; then
    echo "== $t: not built" >&2
    status=1
    continue
  fi
  echo "== run $t"
  "$exe" || status=1
done
if [ $status -eq 0 ]; then echo "== tsan: no data race found"; else echo "== tsan: FAILED" >&2; fi
exit $status
