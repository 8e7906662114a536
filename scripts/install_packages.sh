#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the game need, and any named as arguments;
# only those missing, with sudo only when not root. Used by setup.sh and package.sh.
# Usage: scripts/install_packages.sh [more packages...]
set -euo pipefail

# xfonts-base: the X server's core fonts, which SDL's own message box needs where no dialog
# helper is installed (the game asks in its own window without them, but the box is nicer).
# openbox: the window manager the desktop tests run the window under (frames, Alt+F4).
packages=(g++ cmake ninja-build pkg-config libsdl2-dev libsdl2-mixer-dev libpng-dev libgtest-dev
          libgmock-dev libbenchmark-dev libfreetype-dev fonts-dejavu-core xvfb xfonts-base xdotool
          x11-utils imagemagick sox openbox "$@")
missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
if (( ${#missing[@]} )); then
    echo "Installing missing packages: ${missing[*]}"
    sudo_cmd=()
    (( EUID == 0 )) || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
