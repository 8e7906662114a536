# Fails when code above the platform reads raw keys or controller inputs instead of the game's
# actions, naming the file and line: a Win32 virtual-key code from platform/virtual_keys.h, a
# controller input's code (PadInput, padCode) or the held-key query isKeyHeld. Only the platform
# and its backends (which report them), the controls (which turn them into actions) and the keys
# screen (which lets the player choose them) may; the race, the sound and the other screens read
# actions (controls/player_controls.h).
# Usage: cmake -DSOURCE_ROOT=<checkout> -P check_raw_keys.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT SOURCE_ROOT)
    message(FATAL_ERROR "SOURCE_ROOT is not set")
endif()

file(GLOB_RECURSE sources LIST_DIRECTORIES false "${SOURCE_ROOT}/src/*")
set(offences "")
set(checked 0)
foreach(path IN LISTS sources)
    if(NOT path MATCHES "\\.(cpp|h)$")
        continue()
    endif()
    file(RELATIVE_PATH relative "${SOURCE_ROOT}/src" "${path}")
    if(relative MATCHES "^(platform|controls)/" OR relative MATCHES "^game/keys_screen\\.cpp$")
        continue()
    endif()
    math(EXPR checked "${checked} + 1")
    file(STRINGS "${path}" lines)
    set(number 0)
    foreach(line IN LISTS lines)
        math(EXPR number "${number} + 1")
        if(line MATCHES "#[ \t]*include[ \t]*\"platform/virtual_keys\\.h\"" OR
           line MATCHES "(^|[^A-Za-z0-9_])(isKeyHeld|padCode|PadInput)([^A-Za-z0-9_]|$)")
            string(STRIP "${line}" shown)
            list(APPEND offences "src/${relative}:${number}: ${shown}")
        endif()
    endforeach()
endforeach()

if(offences)
    list(JOIN offences "\n  " listed)
    message(FATAL_ERROR "Raw keys read outside the platform and the controls:\n  ${listed}")
endif()
message(STATUS "None of the ${checked} files above the platform and the controls reads a raw key")
