#!/usr/bin/env bash
# Installs everything the build, the tests and the tools need from Debian's
# archive. Safe to run any number of times; needs root (or sudo).
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
APT="$SUDO apt-get -o DPkg::Lock::Timeout=900 -y -q"

PKGS64=(
  build-essential g++ cmake make pkg-config ninja-build
  libx11-dev libgl-dev libglx-dev libxtst-dev libxext-dev
  libgl1-mesa-dri libglx-mesa0 libgtest-dev libgmock-dev
  python3-glad dpf-source libstb-dev
  xvfb xauth x11-utils x11-apps mesa-utils imagemagick valgrind
  libsndfile1-dev python3-pil python3-numpy gnuplot-nox
  fonts-liberation fonts-roboto-unhinted lsp-plugins-vst
  clang-14 libclang-rt-14-dev qemu-user
  lv2-dev lilv-utils liblilv-dev jalv jackd2 ardour x11-xserver-utils
)
PKGS32=(
  g++-multilib libx11-dev:i386 libgl-dev:i386 libglx-dev:i386
  libxtst-dev:i386 libxext-dev:i386 libgl1-mesa-dri:i386 libglx-mesa0:i386
  libgtest-dev:i386 libgmock-dev:i386 mesa-utils-bin:i386 libc6-dbg:i386
  libsndfile1-dev:i386 libopengl-dev:i386 liblilv-dev:i386
)

missing() {
  local out=()
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      out+=("$p")
    fi
  done
  echo "${out[@]:-}"
}

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi

need="$(missing "${PKGS64[@]}" "${PKGS32[@]}")"
if [ -n "$need" ]; then
  $APT update
  # shellcheck disable=SC2086
  $APT install --no-install-recommends $need
fi
echo "setup: all packages present"
