#!/usr/bin/env bash
# The game in a web browser. Installs what is missing (the build's Debian packages and Debian's
# emscripten), builds the release artgen, which paints the pictures of drawing scales 2 to 4, and
# then the browser build into build/web: index.html, vantor.js and vantor.wasm, the picture packs
# gfx.tar to gfx-4x.tar, each beside its gzip-compressed copy, and vantor-run.js for node.
# --serve then serves the page on 127.0.0.1 (port 8000, or PORT) until interrupted.
# --tests makes what the test suite's browser tests need instead: the browser build without
# painting any pictures (those of scale 1 are committed; a build folder that already paints the
# others goes on doing so), Debian's chromium, and puppeteer-core in build/web-test.
# Usage: scripts/web.sh [--tests] [--serve [PORT]]
set -euo pipefail
cd "$(dirname "$0")/.."

serve=0
port=8000
tests=0
while (( $# )); do
    case "$1" in
    --serve)
        serve=1
        if [[ "${2:-}" =~ ^[0-9]+$ ]]; then
            port="$2"
            shift
        fi
        ;;
    --tests) tests=1 ;;
    *)
        echo "usage: scripts/web.sh [--tests] [--serve [PORT]]" >&2
        exit 2
        ;;
    esac
    shift
done

configure=(-S . -B build/web -G Ninja -DCMAKE_BUILD_TYPE=Release)
if (( tests )); then
    scripts/install_packages.sh emscripten chromium
    # npm comes with some builds of node, and as Debian's own package where it does not.
    command -v npm >/dev/null || scripts/install_packages.sh npm
else
    scripts/install_packages.sh emscripten
    cmake --preset release >/dev/null
    cmake --build --preset release --target artgen
    configure+=(-DVANTOR_HOST_ARTGEN="$PWD/build/release/tools/artgen/artgen")
fi

# Debian's Emscripten runs its JavaScript parts with Debian's node and its node modules.
export NODE_PATH=/usr/share/nodejs
emcmake cmake "${configure[@]}" >/dev/null
cmake --build build/web --target web-page vantor-run

if (( tests )) && [[ ! -d build/web-test/node_modules/puppeteer-core ]]; then
    npm install --prefix build/web-test --no-audit --no-fund --loglevel=error puppeteer-core@24.43.1
fi

if (( serve )); then
    exec python3 scripts/web_serve.py build/web "$port"
fi
echo "The page is in build/web; scripts/web.sh --serve serves it."
