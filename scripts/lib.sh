# Steps the scripts share; source it, do not run it.
#   qolm_root                 the checkout's top folder
#   qolm_in_xvfb SCRIPT ARGS  re-runs SCRIPT under a private Xvfb when there is no display
#   qolm_configure PRESET [ARGS...]  configures quietly, shows the log only on failure
#   qolm_x86 PROGRAM [ARGS...]       runs a 32-bit x86 program the way this machine can

qolm_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

qolm_in_xvfb() {
  if [ -z "${DISPLAY:-}" ] && [ -z "${QOLM_IN_XVFB:-}" ]; then
    exec env QOLM_IN_XVFB=1 xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$@"
  fi
}

qolm_configure() {
  local preset="$1"
  shift
  local log
  log="$(mktemp /tmp/qolm-configure-XXXXXX)"
  if ! (cd "$qolm_root" && cmake --preset "$preset" "$@") >"$log" 2>&1; then
    cat "$log"
    rm -f "$log"
    return 1
  fi
  rm -f "$log"
}

qolm_x86() {
  "$qolm_root/scripts/run-x86" "$@"
}

# LeakSanitizer stops the world through ptrace; some kernels and sandboxes
# forbid that, and its tracer then crashes at the exit of every program. A
# tiny leaking probe tells which: true when a leak is reported as a leak.
qolm_lsan_works() {
  local dir out
  dir="$(mktemp -d /tmp/qolm-lsan-XXXXXX)"
  printf '#include <stdlib.h>\nvoid* volatile kept;\nint main(void) { kept = malloc(77); kept = 0; return 0; }\n' >"$dir/probe.c"
  if ! gcc -fsanitize=address -g "$dir/probe.c" -o "$dir/probe" >/dev/null 2>&1; then
    rm -rf "$dir"
    return 1
  fi
  out="$(ASAN_OPTIONS=detect_leaks=1 "$dir/probe" 2>&1 || true)"
  rm -rf "$dir"
  grep -q "detected memory leaks" <<<"$out" && ! grep -q "LeakSanitizer has encountered a fatal error" <<<"$out"
}
