# Fails when an #include in src/ points up the layer order, or when two files of src/ include each
# other, naming the files and lines. The game's layers, lowest first (a folder may include its own
# files and any folder of a lower rank):
#   0 core      fatal reports, allocation that reports, the platform's last error
#   1 gfx       software raster
#   2 platform  the Window, its event dispatch, the game's own message box, the backend interface
#   3 controls  game actions and the keys bound to them, the settings file: read by the screens,
#               the race and the sound; the backends report raw keys and buttons only
#   3 pictures  picture files, bitmaps, sprites, text
#   4 race      race-wide records: state, timer, settings, graphics set
#   5 track     random source, track model and generation
#   6 objects   game objects, lists, world update, collisions
#   7 field     field placement, opponent driving
#   8 render    camera, road, frame and head-up display
#   8 audio     the race's sound, our mixer, the WAV writer
#   9 backends  platform/sdl, platform/web, platform/headless: what shows, hears and feeds the
#               Window (they play sound through the mixer of audio)
#  10 game      screens, race set-up, loop and input, entry point
# Folders of one rank do not include each other.
# Usage: cmake -DSOURCE_ROOT=<checkout> -P check_layer_includes.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT SOURCE_ROOT)
    message(FATAL_ERROR "SOURCE_ROOT is not set")
endif()
set(rank_core 0)
set(rank_gfx 1)
set(rank_platform 2)
set(rank_controls 3)
set(rank_pictures 3)
set(rank_race 4)
set(rank_track 5)
set(rank_objects 6)
set(rank_field 7)
set(rank_render 8)
set(rank_audio 8)
set(rank_backends 9)
set(rank_game 10)

# The layer of a path below src/: its first folder, or "backends" for the backends' folders.
function(layer_of relative out)
    if(relative MATCHES "^platform/(sdl|web|headless)/")
        set(${out} backends PARENT_SCOPE)
    else()
        string(REGEX MATCH "^[^/]+" first "${relative}")
        set(${out} "${first}" PARENT_SCOPE)
    endif()
endfunction()

file(GLOB_RECURSE sources LIST_DIRECTORIES false "${SOURCE_ROOT}/src/*")
set(offences "")
set(edges 0)
set(pairs "")
foreach(path IN LISTS sources)
    if(NOT path MATCHES "\\.(cpp|h)$")
        continue()
    endif()
    file(RELATIVE_PATH relative "${SOURCE_ROOT}/src" "${path}")
    layer_of("${relative}" from)
    if(NOT DEFINED rank_${from})
        list(APPEND offences "src/${relative}: folder '${from}' has no place in the layer order")
        continue()
    endif()
    file(STRINGS "${path}" lines)
    set(number 0)
    foreach(line IN LISTS lines)
        math(EXPR number "${number} + 1")
        if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"(([^/\"]+)/[^\"]+)\"")
            continue()
        endif()
        set(target "${CMAKE_MATCH_1}")
        # Each file's own header aside (x.cpp includes x.h), remember who includes whom.
        string(REGEX REPLACE "\\.(cpp|h)$" "" fromStem "${relative}")
        string(REGEX REPLACE "\\.(cpp|h)$" "" toStem "${target}")
        if(NOT fromStem STREQUAL toStem)
            list(APPEND pairs "${relative}>${target}")
        endif()
        layer_of("${target}" to)
        if(to STREQUAL from)
            continue()
        endif()
        math(EXPR edges "${edges} + 1")
        if(NOT DEFINED rank_${to})
            list(APPEND offences "src/${relative}:${number}: includes '${to}/', which is no layer")
        elseif(NOT rank_${to} LESS rank_${from})
            list(APPEND offences
                 "src/${relative}:${number}: ${from} (rank ${rank_${from}}) includes ${to} (rank ${rank_${to}})")
        endif()
    endforeach()
endforeach()

# Two modules that include each other (a.cpp or a.h includes b.*, and b.cpp or b.h includes a.*):
# neither can be read, built or replaced without the other.
set(modulePairs "")
foreach(pair IN LISTS pairs)
    string(REPLACE ">" ";" ends "${pair}")
    list(GET ends 0 a)
    list(GET ends 1 b)
    string(REGEX REPLACE "\\.(cpp|h)$" "" a "${a}")
    string(REGEX REPLACE "\\.(cpp|h)$" "" b "${b}")
    list(APPEND modulePairs "${a}>${b}")
endforeach()
list(REMOVE_DUPLICATES modulePairs)
foreach(pair IN LISTS modulePairs)
    string(REPLACE ">" ";" ends "${pair}")
    list(GET ends 0 a)
    list(GET ends 1 b)
    if("${b}>${a}" IN_LIST modulePairs AND a STRLESS b)
        list(APPEND offences "src/${a} and src/${b} include each other")
    endif()
endforeach()

if(offences)
    list(JOIN offences "\n  " listed)
    message(FATAL_ERROR "Includes that point up the layer order or go round in a circle:\n  ${listed}")
endif()
message(STATUS "All ${edges} includes between folders of src/ point down the layer order, and no two modules include each other")
