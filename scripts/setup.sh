#!/usr/bin/env bash
# Shared set-up for play.sh and test.sh: installs the Debian packages the build needs
# (scripts/install_packages.sh), then configures and builds one preset.
# Usage: scripts/setup.sh PRESET [extra cmake configure arguments...]
# VANTOR_TARGETS, when set, names the targets to build (default: all).
set -euo pipefail
preset="$1"; shift
cd "$(dirname "$0")/.."

scripts/install_packages.sh

cmake --preset "$preset" "$@" >/dev/null
if [[ -n "${VANTOR_TARGETS:-}" ]]; then
    # shellcheck disable=SC2086
    cmake --build --preset "$preset" --target ${VANTOR_TARGETS}
else
    cmake --build --preset "$preset"
fi
