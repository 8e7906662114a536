#!/usr/bin/env bash
# Installs what is missing, builds the sanitized game and runs the whole test suite.
# Extra arguments go to the cmake configure step (CI passes -DVANTOR_WERROR=ON).
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh debug-sanitized -DVANTOR_WERROR=OFF "$@"
ctest --preset debug-sanitized
