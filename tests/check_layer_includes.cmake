# Fails when an #include in src/ points up the layer order, naming the file and line. The game's
# layers, lowest first (a folder may include its own files and any folder of a lower rank):
#   0 gfx       software raster
#   1 platform  window, reports, backends
#   2 pictures  picture files, bitmaps, sprites, text
#   3 race      race-wide records: state, timer, settings, graphics set
#   4 track     random source, track model and generation
#   5 objects   game objects, lists, world update, collisions
#   6 field     field placement, opponent driving
#   7 render    camera, road, frame and head-up display
#   7 audio     the race's sound
#   8 game      screens, race set-up, loop and input, entry point
# Folders of one rank do not include each other.
# Usage: cmake -DSOURCE_ROOT=<checkout> -P check_layer_includes.cmake
if(NOT SOURCE_ROOT)
    message(FATAL_ERROR "SOURCE_ROOT is not set")
endif()
set(rank_gfx 0)
set(rank_platform 1)
set(rank_pictures 2)
set(rank_race 3)
set(rank_track 4)
set(rank_objects 5)
set(rank_field 6)
set(rank_render 7)
set(rank_audio 7)
set(rank_game 8)

file(GLOB_RECURSE sources LIST_DIRECTORIES false "${SOURCE_ROOT}/src/*")
set(offences "")
set(edges 0)
foreach(path IN LISTS sources)
    if(NOT path MATCHES "\\.(cpp|h)$")
        continue()
    endif()
    file(RELATIVE_PATH relative "${SOURCE_ROOT}/src" "${path}")
    string(REGEX MATCH "^[^/]+" from "${relative}")
    if(NOT DEFINED rank_${from})
        list(APPEND offences "src/${relative}: folder '${from}' has no place in the layer order")
        continue()
    endif()
    file(STRINGS "${path}" lines)
    set(number 0)
    foreach(line IN LISTS lines)
        math(EXPR number "${number} + 1")
        if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"([^/\"]+)/")
            continue()
        endif()
        set(to "${CMAKE_MATCH_1}")
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
if(offences)
    list(JOIN offences "\n  " listed)
    message(FATAL_ERROR "Includes that point up the layer order:\n  ${listed}")
endif()
message(STATUS "All ${edges} includes between folders of src/ point down the layer order")
