#!/usr/bin/env bash
# Installs what is missing, builds the release game and starts it.
set -euo pipefail
cd "$(dirname "$0")"
VANTOR_TARGETS=vantor_game scripts/setup.sh release
exec build/release/src/game/vantor "$@"
