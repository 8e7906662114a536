# Fails when the game library asks for any symbol of SDL, SDL2_mixer or libpng (a name that starts
# with SDL_, Mix_ or png_), naming each object file and symbol. The game library needs nothing but
# the C++ standard library; only the desktop backend, a library of its own, uses those three.
# Usage: cmake -DNM=<nm> -DLIBRARY=<libvantor.a> -P check_library_symbols.cmake
if(NOT NM OR NOT LIBRARY)
    message(FATAL_ERROR "NM and LIBRARY must be set")
endif()
execute_process(COMMAND "${NM}" -A -u "${LIBRARY}"
    OUTPUT_VARIABLE undefined ERROR_VARIABLE errors RESULT_VARIABLE status)
# Every object of the game needs something from outside (the standard library at least), so an
# empty list means nm read nothing.
if(NOT status EQUAL 0 OR NOT undefined MATCHES "[ \t]U ")
    message(FATAL_ERROR "nm could not list the symbols ${LIBRARY} needs: ${errors}")
endif()
string(REGEX MATCHALL "[^\n]*[ \t]U (SDL_|Mix_|png_)[^\n]*" offenders "${undefined}")
if(offenders)
    list(JOIN offenders "\n  " listed)
    message(FATAL_ERROR "${LIBRARY} needs symbols of SDL, SDL2_mixer or libpng:\n  ${listed}")
endif()
string(REGEX MATCHALL "[ \t]U " needed "${undefined}")
list(LENGTH needed count)
message(STATUS "${LIBRARY} needs ${count} symbols from outside, none of SDL, SDL2_mixer or libpng")
