# Fails when any source outside src/platform/sdl includes an SDL header. Only the desktop backend
# there knows SDL, and only the programs that open a window link it (the game, the desktop tests,
# the present benchmark). The rest of the game, the tools, the tests and the benchmarks are
# written without SDL, but for one test: tests/pictures/bmp_reader_test.cpp reads every file with
# our BMP reader and with the desktop library's, and expects the same pixels.
# Usage: cmake -DSOURCE_ROOT=<checkout> -P check_sdl_includes.cmake
if(NOT SOURCE_ROOT)
    message(FATAL_ERROR "SOURCE_ROOT is not set")
endif()
file(GLOB_RECURSE sources LIST_DIRECTORIES false
    "${SOURCE_ROOT}/src/*" "${SOURCE_ROOT}/tools/*" "${SOURCE_ROOT}/tests/*" "${SOURCE_ROOT}/bench/*")
set(offenders "")
foreach(path IN LISTS sources)
    if(NOT path MATCHES "\\.(c|cc|cpp|cxx|h|hh|hpp|hxx|inl)$")
        continue()
    endif()
    file(RELATIVE_PATH relative "${SOURCE_ROOT}" "${path}")
    if(relative MATCHES "^src/platform/sdl/" OR relative STREQUAL "tests/pictures/bmp_reader_test.cpp")
        continue()
    endif()
    file(STRINGS "${path}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](SDL2/)?SDL")
    if(includes)
        list(APPEND offenders "${relative}")
    endif()
endforeach()
list(LENGTH sources count)
if(offenders)
    list(JOIN offenders "\n  " listed)
    message(FATAL_ERROR "SDL headers included outside src/platform/sdl and the BMP reader's comparison test:\n  ${listed}")
endif()
message(STATUS "No SDL include outside src/platform/sdl and the BMP reader's comparison test (${count} files looked at)")
