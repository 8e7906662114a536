#!/usr/bin/env bash
# Builds the game for 64-bit Windows on this Debian machine and writes
# build/windows/vantor-windows-x64.zip.
#
# 1. Installs what is missing: Debian's MinGW-w64 (the posix thread model, which has std::thread),
#    MinGW's zlib, Wine (the tests run the Windows programs through it), zip.
# 2. Fetches the Debian source packages of SDL2, SDL2_mixer and libpng through a private apt
#    sources list (the machine's apt configuration stays untouched) and builds them statically
#    for Windows into a prefix. Both are kept in build/windows-deps and reused by later runs.
# 3. Cross-builds the game and the tools (build/windows) with cmake/mingw-w64-x86_64.cmake. The
#    pictures of drawing scales 2 to 4 are painted there by the host's release artgen (artgen is a
#    host tool).
# 4. Puts vantor.exe, the tools, every picture, a README.txt and the licences into the zip.
#
# Usage: scripts/windows.sh        (VANTOR_JOBS sets the build's parallel jobs, default 2)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=${VANTOR_JOBS:-2}
deps=$root/build/windows-deps
prefix=$deps/prefix
out=$root/build/windows
toolchain=$root/cmake/mingw-w64-x86_64.cmake
# MinGW's zlib comes as a DLL and as a static library: the static one, so no DLL is needed.
static_zlib=(-DZLIB_LIBRARY=/usr/x86_64-w64-mingw32/lib/libz.a
             -DZLIB_LIBRARY_RELEASE=/usr/x86_64-w64-mingw32/lib/libz.a
             -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include)
started=$SECONDS

step() { echo "== $* ($((SECONDS - started)) s)"; }

# --- 1. Packages -------------------------------------------------------------------------------
step "Packages"
# Beside what every build needs: MinGW-w64 with posix threads, its zlib, Wine (64-bit), the tools
# that fetch and unpack Debian's sources, zip.
scripts/install_packages.sh g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine wine64 dpkg-dev zip

# --- 2. The Windows libraries, built once ------------------------------------------------------
# The deb-src lines name the same repositories, suites and components as the machine's own deb
# lines (one-line and deb822 files alike), each with its signing key.
write_source_list() {
    local list=$1 file
    : >"$list"
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [[ -f "$file" ]] || continue
        sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$file" >>"$list"
    done
    for file in /etc/apt/sources.list.d/*.sources; do
        [[ -f "$file" ]] || continue
        awk -v list="$list" '
            function flush() {
                if (types ~ /(^| )deb( |$)/ && enabled != "no" && uris != "") {
                    n = split(uris, u, " "); m = split(suites, s, " ")
                    for (i = 1; i <= n; i++) for (j = 1; j <= m; j++)
                        printf "deb-src %s%s %s %s\n", key, u[i], s[j], components >> list
                }
                types = uris = suites = components = key = enabled = ""
            }
            /^[[:space:]]*#/ { next }
            /^[[:space:]]*$/ { flush(); next }
            { field = tolower($1); sub(/^[^:]*:[[:space:]]*/, "") }
            field == "types:" { types = $0 }
            field == "uris:" { uris = $0 }
            field == "suites:" { suites = $0 }
            field == "components:" { components = $0 }
            field == "enabled:" { enabled = $0 }
            field == "signed-by:" { key = "[signed-by=" $0 "] " }
            END { flush() }' "$file"
    done
}

fetch_sources() {
    local apt_dir=$deps/apt
    mkdir -p "$apt_dir/lists/partial" "$apt_dir/parts" "$deps/sources"
    write_source_list "$apt_dir/sources.list"
    local options=(-o Dir::Etc::SourceList="$apt_dir/sources.list"
                   -o Dir::Etc::SourceParts="$apt_dir/parts"
                   -o Dir::State::Lists="$apt_dir/lists"
                   -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache=
                   -o APT::Sandbox::User=root)
    apt-get "${options[@]}" update -qq
    # The newest version first; one the archive no longer serves (a superseded security update)
    # gives way to the next.
    local name version
    for name in libsdl2 libsdl2-mixer libpng1.6; do
        [[ -z "$(source_folder "$name")" ]] || continue
        for version in $(apt-cache "${options[@]}" showsrc "$name" | sed -n 's/^Version: //p' |
                         sort -u -r -V); do
            if (cd "$deps/sources" && apt-get "${options[@]}" source -qq "$name=$version"); then
                break
            fi
            echo "windows.sh: $name $version could not be fetched; trying an older version"
        done
        [[ -n "$(source_folder "$name")" ]] || { echo "windows.sh: no source of $name" >&2; exit 1; }
    done
}

# source_folder NAME: the unpacked source tree of Debian source package NAME.
source_folder() {
    [[ -d "$deps/sources" ]] || return 0
    find "$deps/sources" -mindepth 1 -maxdepth 1 -type d -name "$1-[0-9]*" | sort | tail -n 1
}

# build_library NAME [cmake options...]: configures, builds and installs one library into the
# prefix with the MinGW toolchain, statically; once (a stamp in the prefix marks it built).
build_library() {
    local name=$1; shift
    local source stamp=$prefix/.built-$name
    [[ ! -f "$stamp" ]] || return 0
    source=$(source_folder "$name")
    [[ -n "$source" ]] || { echo "windows.sh: no source of $name in $deps/sources" >&2; exit 1; }
    step "Building $name for Windows from $(basename "$source")"
    cmake -S "$source" -B "$deps/build/$name" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DCMAKE_PREFIX_PATH="$prefix" -DBUILD_SHARED_LIBS=OFF "$@" >"$deps/build/$name.log"
    cmake --build "$deps/build/$name" -j "$jobs" >>"$deps/build/$name.log"
    cmake --install "$deps/build/$name" >>"$deps/build/$name.log"
    touch "$stamp"
}

if [[ ! -f "$prefix/.built-libpng1.6" ]]; then
    step "Fetching the Debian sources of SDL2, SDL2_mixer and libpng"
    fetch_sources
    mkdir -p "$deps/build"
    build_library libsdl2 -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF
    build_library libsdl2-mixer -DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_SAMPLES=OFF \
        -DSDL2MIXER_CMD=OFF -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MOD=OFF -DSDL2MIXER_MP3=OFF \
        -DSDL2MIXER_MIDI=OFF -DSDL2MIXER_OPUS=OFF -DSDL2MIXER_VORBIS=OFF -DSDL2MIXER_WAVE=ON \
        -DSDL2MIXER_WAVPACK=OFF
    build_library libpng1.6 "${static_zlib[@]}" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
        -DPNG_EXECUTABLES=OFF -DSKIP_INSTALL_PROGRAMS=ON -DSKIP_INSTALL_FILES=ON
fi

# --- 3. The game and the tools for Windows -----------------------------------------------------
# The pictures of drawing scales 2 to 4 are painted by the host's artgen (the release build's).
step "Building the host's artgen (release build)"
VANTOR_TARGETS=artgen scripts/setup.sh release

step "Cross-building the game and the tools, painting the pictures of scales 2 to 4"
cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_PREFIX_PATH="$prefix" "${static_zlib[@]}" -DVANTOR_TESTS=OFF -DVANTOR_BENCH=OFF \
    -DVANTOR_HOST_ARTGEN="$root/build/release/tools/artgen/artgen" >/dev/null
cmake --build "$out" -j "$jobs"

# Wine's own prefix for the tests that run these programs (made once, about half a minute).
if [[ ! -f "$out/wine/system.reg" ]]; then
    step "Making the Wine prefix for the tests"
    WINEPREFIX="$out/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY= \
        wineboot --init >/dev/null 2>&1 || true
    WINEPREFIX="$out/wine" wineserver --wait || true
    # Wine links the user's Desktop, Documents, Pictures, ... to the home folder; the tests' own
    # prefixes (copies of this one) keep what the game writes there inside themselves.
    for link in "$out"/wine/drive_c/users/*/*; do
        if [[ -L "$link" ]]; then
            rm "$link"
            mkdir "$link"
        fi
    done
fi

# --- 4. The zip --------------------------------------------------------------------------------
step "Writing the zip"
stage=$out/zip/Vantor
rm -rf "$out/zip" "$out/vantor-windows-x64.zip"
mkdir -p "$stage/tools" "$stage/licences"
cp "$out/src/game/vantor.exe" "$stage/"
for tool in vantor-track vantor-field vantor-frame vantor-run vantor-soak; do
    cp "$out/tools/$tool.exe" "$stage/tools/"
done
x86_64-w64-mingw32-strip "$stage/vantor.exe" "$stage"/tools/*.exe
# Statically linked: nothing but Windows' own libraries may be asked for.
for program in "$stage/vantor.exe" "$stage"/tools/*.exe; do
    if x86_64-w64-mingw32-objdump -p "$program" | grep -i "DLL Name: \(lib\|zlib\|SDL\)"; then
        echo "windows.sh: $program needs a DLL that Windows does not have" >&2
        exit 1
    fi
done
for folder in gfx gfx-2x gfx-3x gfx-4x; do
    cp -r "$out/$folder" "$stage/$folder"
done
sed 's/$/\r/' packaging/windows-readme.txt >"$stage/README.txt"
cp "$(source_folder libsdl2)/LICENSE.txt" "$stage/licences/SDL2.txt"
cp "$(source_folder libsdl2-mixer)/LICENSE.txt" "$stage/licences/SDL2_mixer.txt"
cp "$(source_folder libpng1.6)/LICENSE" "$stage/licences/libpng.txt"
cp /usr/share/doc/libz-mingw-w64-dev/copyright "$stage/licences/zlib.txt"
cp /usr/share/doc/mingw-w64-common/copyright "$stage/licences/MinGW-w64-runtime.txt"
cp /usr/share/doc/gcc-mingw-w64-base/copyright "$stage/licences/GCC-runtime.txt"
for licence in "$stage"/licences/*.txt; do
    sed -i 's/\r*$/\r/' "$licence"
done
(cd "$out/zip" && zip -q -r -9 -X ../vantor-windows-x64.zip Vantor)
step "Wrote $out/vantor-windows-x64.zip ($(du -h "$out/vantor-windows-x64.zip" | cut -f1))"
