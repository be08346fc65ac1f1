#!/usr/bin/env bash
# Builds the Debian package out/zorbel_VERSION_ARCH.deb in its own build folder, with Debian's
# hardening flags and only the targets the package holds.
# usage: package.sh [BUILD_DIR [OUT_DIR]]   (defaults build-package and out)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build-package}"
out="${2:-out}"
launcher=()
command -v ccache > /dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# dpkg-buildflags gives the flags Debian builds its own packages with (stack protector,
# fortified functions, read-only relocations).
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
ldflags="$(dpkg-buildflags --get LDFLAGS)"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON -DZORBEL_BENCH=OFF > "$build.configure.log" \
  || { cat "$build.configure.log"; exit 1; }
rm -f "$build.configure.log"
cmake --build "$build" -j2 --target zorbel zorbel-windowed zorbel-render zorbel-drive zorbel-dist
(cd "$build" && cpack -G DEB > cpack.log) || { cat "$build/cpack.log"; exit 1; }
deb=$(ls -t "$build"/zorbel_*.deb | head -n 1)
mkdir -p "$out"
cp "$deb" "$out/"
echo "$out/$(basename "$deb")"
