#!/usr/bin/env bash
# Builds the fuzz preset (clang-14, libFuzzer, ASan, UBSan) and runs every
# fuzz target for a fixed time, starting from its seed corpus and its kept
# crashes. Fails when any target finds a crash, a leak, a time-out or a
# failed check; the input is then in build/fuzz/artifacts/<target>/ and
# belongs in tests/fuzz/regressions/<target>/ once fixed.
#
#   scripts/fuzz.sh [seconds per target, default 30] [target ...]
#
# QOLM_FUZZ_BUILD_DIR overrides the build folder (default build/fuzz).
set -euo pipefail
source "$(dirname "$0")/lib.sh"
cd "$qolm_root"

seconds="${1:-30}"
[ $# -gt 0 ] && shift
case "$seconds" in ''|*[!0-9]*) echo "fuzz: seconds must be a whole number, not '$seconds'" >&2; exit 2;; esac
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(line_reader token_reader preset chunk skin)

build="${QOLM_FUZZ_BUILD_DIR:-build/fuzz}"
jobs="${QOLM_JOBS:-2}"

# Inputs up to these sizes: a few 2048-byte reader chunks for the readers,
# whole scripts for the text formats, a bank and some for the chunk.
max_len() {
  case "$1" in
    line_reader) echo 8192 ;;
    token_reader) echo 4096 ;;
    preset) echo 4096 ;;
    chunk) echo 700 ;;
    skin) echo 8192 ;;
    *) echo "fuzz: unknown target '$1'" >&2; exit 2 ;;
  esac
}
dict() {
  case "$1" in
    line_reader|token_reader) echo tests/fuzz/dict/tokens.dict ;;
    preset) echo tests/fuzz/dict/preset.dict ;;
    skin) echo tests/fuzz/dict/skin.dict ;;
    *) echo "" ;;
  esac
}

echo "== fuzz: configure and build ($build)"
qolm_configure fuzz -B "$build"
cmake --build "$build" --target qolm_fuzz -j "$jobs"

# Leaks count as findings; a failed UBSan check stops the run with a trace.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0:symbolize=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

passed=0
failed=0
for target in "${targets[@]}"; do
  len="$(max_len "$target")"
  exe="$build/tests/fuzz/fuzz_$target"
  work="$build/corpus/$target"
  artifacts="$build/artifacts/$target/"
  mkdir -p "$work" "$artifacts"
  inputs=("$work" "tests/fuzz/corpus/$target")
  [ -d "tests/fuzz/regressions/$target" ] && inputs+=("tests/fuzz/regressions/$target")
  options=(-max_total_time="$seconds" -max_len="$len" -timeout=10 -rss_limit_mb=2048
           -print_final_stats=1 -artifact_prefix="$artifacts")
  d="$(dict "$target")"
  [ -n "$d" ] && options+=(-dict="$d")
  echo "== fuzz $target: ${seconds} s, max_len $len"
  out="$build/fuzz-$target.log"
  set +e
  "$exe" "${options[@]}" "${inputs[@]}" >"$out" 2>&1
  status=$?
  set -e
  grep -E "^#[0-9]+[[:space:]]+DONE|stat::number_of_executed_units|stat::average_exec_per_sec" "$out" || true
  if [ $status -eq 0 ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "fuzz $target FAILED (exit $status); the end of its log:"
    tail -n 60 "$out"
    ls -1 "$artifacts" 2>/dev/null | sed "s|^|  artifact: $artifacts|"
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ $failed -eq 0 ]
