#!/usr/bin/env bash
# Installs what the project needs on a Debian 12 machine, once: a second run installs nothing.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev        # native build, unit tests, fuzzers
  googletest libgtest-dev zlib1g-dev libjpeg-dev        # test framework and libraries
  g++-mingw-w64-x86-64-posix libz-mingw-w64-dev         # the Windows build
  wine wine64 xvfb xdotool imagemagick x11-utils        # running and judging it
  fonts-dejavu-core                                     # TrueType outlines for text in system fonts
  python3 procps
)

missing=()
for p in "${packages[@]}"; do
  if [ "$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null)" != "install ok installed" ]; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo=""; [ "$(id -u)" = 0 ] || sudo="sudo"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
