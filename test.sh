#!/usr/bin/env bash
# Installs what is missing, builds the sanitized game and the browser build, and runs the whole
# test suite.
# Extra arguments go to the cmake configure step (CI passes -DVANTOR_WERROR=ON).
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh debug-sanitized -DVANTOR_WERROR=OFF "$@"
# The browser build and the browser that the suite's web tests check.
scripts/web.sh --tests
ctest --preset debug-sanitized
