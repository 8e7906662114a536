#!/bin/sh
# wine_prefix.sh TEMPLATE FOLDER: makes FOLDER a Wine prefix of a test's own from the prefix
# TEMPLATE that scripts/windows.sh made (build/windows/wine). Its registry, users and program
# folders are copied (some 8 MB), so whatever a test's programs write stays in FOLDER; the
# Windows folder (some 700 MB of Wine's libraries, only read) is a link to the template's.
set -eu
template=$(cd "$1" && pwd)
folder=$2
mkdir -p "$folder/drive_c"
cp -a "$template"/*.reg "$template/.update-timestamp" "$template/dosdevices" "$folder/"
for entry in "$template"/drive_c/*; do
    if [ "$(basename "$entry")" = windows ]; then
        ln -s "$entry" "$folder/drive_c/windows"
    else
        cp -a "$entry" "$folder/drive_c/"
    fi
done
