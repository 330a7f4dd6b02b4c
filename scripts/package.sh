#!/usr/bin/env bash
# Builds the Debian package with CPack from the normal build in build/ (or
# $DTU_BUILD_DIR): only the three programs and the manual pages are built.
# dpkg-shlibdeps finds the libraries the programs link. Prints the package's
# path as the last line:  build/package/dtutools_<version>_<arch>.deb
# Install it with:  sudo apt install ./build/package/dtutools_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
DTU_WITH_PACKAGING=1 scripts/setup.sh
BUILD_DIR="${DTU_BUILD_DIR:-build}"
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE="${DTU_BUILD_TYPE:-RelWithDebInfo}" >/dev/null
cmake --build "$BUILD_DIR" --parallel "$(nproc)" --target dtuconfig dtucfg dtusim dtu_manpages
rm -f "$BUILD_DIR"/package/dtutools_*.deb
(cd "$BUILD_DIR" && cpack -G DEB >cpack.log 2>&1) || {
  cat "$BUILD_DIR/cpack.log" >&2
  exit 1
}
debs=("$BUILD_DIR"/package/dtutools_*.deb)
[[ -f ${debs[0]} ]] || { echo "package.sh: cpack made no package; see $BUILD_DIR/cpack.log" >&2; exit 1; }
echo "${debs[0]}"
