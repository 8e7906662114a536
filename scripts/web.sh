#!/usr/bin/env bash
# The game in a web browser. Installs what is missing (the desktop build's Debian packages and
# Debian's emscripten), builds the release artgen (it paints the pictures of drawing scales 2 to 4),
# then the browser build into build/web: index.html, vantor.js and vantor.wasm, the picture packs
# gfx.tar to gfx-4x.tar, each beside its gzip-compressed copy, and vantor-run.js for node.
# With --serve it then serves the page on 127.0.0.1 (port 8000, or PORT) until interrupted.
# Usage: scripts/web.sh [--serve [PORT]]
set -euo pipefail
cd "$(dirname "$0")/.."

serve=0
port=8000
while (( $# )); do
    case "$1" in
    --serve)
        serve=1
        if [[ "${2:-}" =~ ^[0-9]+$ ]]; then
            port="$2"
            shift
        fi
        ;;
    *)
        echo "usage: scripts/web.sh [--serve [PORT]]" >&2
        exit 2
        ;;
    esac
    shift
done

VANTOR_PACKAGES=emscripten VANTOR_TARGETS=artgen scripts/setup.sh release

# Debian's Emscripten runs its JavaScript parts with Debian's node and its node modules.
export NODE_PATH=/usr/share/nodejs
emcmake cmake -S . -B build/web -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DVANTOR_HOST_ARTGEN="$PWD/build/release/tools/artgen/artgen" >/dev/null
cmake --build build/web --target web-page vantor-run

if (( serve )); then
    exec python3 scripts/web_serve.py build/web "$port"
fi
echo "The page is in build/web; scripts/web.sh --serve serves it."
