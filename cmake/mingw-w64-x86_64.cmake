# Cross-building for 64-bit Windows with Debian's MinGW-w64 (scripts/windows.sh passes this file
# as CMAKE_TOOLCHAIN_FILE, for the game and for the libraries it links). The posix thread model
# is the one with std::thread and std::mutex; everything is linked statically, so the programs
# need no DLL from MinGW. Programs built here run on this machine through Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingwTriple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingwTriple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingwTriple}-g++-posix)
set(CMAKE_RC_COMPILER ${mingwTriple}-windres)
set(CMAKE_AR ${mingwTriple}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${mingwTriple}-gcc-ranlib-posix CACHE FILEPATH "")

# Libraries and headers come from MinGW's own folder and from the prefix the Windows libraries
# were built into (CMAKE_PREFIX_PATH); programs (Wine among them) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${mingwTriple} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
