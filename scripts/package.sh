#!/usr/bin/env bash
# Builds the release game for the Debian package and writes build/packages/vantor_VERSION_amd64.deb
# with CPack: the game in /usr/games, its pictures of every drawing scale in /usr/share/vantor, the
# icon, the desktop entry, the manual page (man 6 vantor), the copyright file, and dependencies
# worked out from the libraries the game links. Then lintian checks it, when it can be had.
# Usage: scripts/package.sh [extra cmake configure arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."

# The build's packages, and dpkg-shlibdeps (dpkg-dev), file and lintian for the package itself.
scripts/install_packages.sh dpkg-dev file lintian

build=build/package
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
      -DCMAKE_INSTALL_BINDIR=games -DVANTOR_TESTS=OFF -DVANTOR_BENCH=OFF "$@" >/dev/null
cmake --build "$build"
rm -f build/packages/vantor_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
package=$(ls build/packages/vantor_*_amd64.deb)
echo "Package: $package ($(du -h "$package" | cut -f1))"
if command -v lintian >/dev/null; then
    # Errors fail the script; warnings are shown for the reader.
    lintian --fail-on error "$package"
fi
