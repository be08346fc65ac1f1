#!/usr/bin/env bash
# Installs everything the build, the tests and the benchmarks need from Debian 12's packages.
set -euo pipefail
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends \
  cmake ninja-build g++ pkg-config make \
  googletest libgtest-dev libgmock-dev libbenchmark-dev \
  libsdl1.2-compat-dev libsdl-ttf2.0-dev portaudio19-dev libasound2-dev libjack-jackd2-dev \
  jackd2 xvfb xdotool x11-apps imagemagick libx11-dev \
  libsndfile1-dev libsamplerate0-dev libebur128-dev sox \
  clang-22 libclang-rt-22-dev \
  dpkg-dev lintian desktop-file-utils appstream groff man-db
