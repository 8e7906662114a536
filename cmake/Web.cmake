# The browser build's settings (Debian's Emscripten, `emcmake cmake` into build/web through
# scripts/web.sh), included by the top-level CMakeLists in place of the desktop's packages.

# Wasm SIMD, with Emscripten's SSE2 on top of it: the raster's SSE2 paths (src/gfx/raster.cpp) run
# as SIMD instead of falling back to a pixel at a time, which would double a race frame's cost.
# Bulk memory: a row copied (the sky, the pictures) is one wasm memory.copy; without it this
# Emscripten's memcpy calls out to the page for every copy of 512 bytes or more.
add_compile_options(-msimd128 -msse2 -mbulk-memory)
add_link_options(-mbulk-memory)

# Everything the browser build makes lands in the build folder itself: index.html, vantor.js and
# vantor.wasm, the picture packs, and vantor-run.js with its .wasm for node.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})

find_program(VANTOR_TAR tar REQUIRED)
find_program(VANTOR_GZIP gzip REQUIRED)

# vantor_node_tool(TARGET): a developer tool run by node, reading and writing the machine's own
# files as the native tool does: `node --no-experimental-fetch build/web/vantor-run.js ARGS`.
function(vantor_node_tool target)
    target_link_options(${target} PRIVATE -sENVIRONMENT=node -sNODERAWFS=1
                        -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1)
endfunction()

# vantor_web_page(TARGET): the game as the page runs it (vantor.js and vantor.wasm) and the page
# around it, made by the target `web-page`: index.html, the scale-1 pictures packed into gfx.tar
# (fetched before the game starts) and those of scales 2 to 4 into gfx-2x.tar to gfx-4x.tar
# (fetched when a large canvas first asks for them), each file beside a gzip-compressed copy that
# scripts/web_serve.py sends to browsers that accept it.
#
# Asyncify lets the game's own loops run as they are: a present waits for the display's next
# frame by handing control back to the browser and resumes where it stopped. Every function that
# may be on the stack then is rewritten to save and restore itself, which costs a little at each
# call; operator new is taken as never waiting (it would only call a new-handler, and the game
# sets none), so that the drawing, which allocates here and there, stays as compiled. The wait
# itself (waitForNextFrame, web_present.cpp) is a plain import that sleeps through Asyncify.
function(vantor_web_page target)
    set(page ${PROJECT_SOURCE_DIR}/src/platform/web)
    target_link_options(${target} PRIVATE
        -sENVIRONMENT=web -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536 "-sASYNCIFY_REMOVE=[\"operator new*\"]"
        "-sASYNCIFY_IMPORTS=[\"waitForNextFrame\"]"
        -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=67108864 -sFORCE_FILESYSTEM=1
        --pre-js ${page}/web_page.js)
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${page}/web_page.js)

    set(packs gfx)
    set(folders gfx)
    if(TARGET scaled-art)
        list(APPEND packs gfx-2x gfx-3x gfx-4x)
    endif()
    set(outputs ${PROJECT_BINARY_DIR}/index.html ${PROJECT_BINARY_DIR}/index.html.gz)
    add_custom_command(
        OUTPUT ${outputs}
        COMMAND ${CMAKE_COMMAND} -E copy ${page}/index.html ${PROJECT_BINARY_DIR}/index.html
        COMMAND ${VANTOR_GZIP} -9 -n -k -f ${PROJECT_BINARY_DIR}/index.html
        DEPENDS ${page}/index.html
        COMMENT "Writing the page"
        VERBATIM)
    foreach(pack IN LISTS packs)
        set(tar ${PROJECT_BINARY_DIR}/${pack}.tar)
        set(stamp ${PROJECT_BINARY_DIR}/tools/artgen/${pack}.stamp)
        # Files in name order, no owners or dates: the same pictures give the same pack.
        add_custom_command(
            OUTPUT ${tar} ${tar}.gz
            COMMAND ${VANTOR_TAR} --format=ustar --sort=name --owner=0 --group=0 --numeric-owner
                    --mtime=@0 -cf ${tar} ${pack}
            COMMAND ${VANTOR_GZIP} -9 -n -k -f ${tar}
            DEPENDS ${stamp}
            WORKING_DIRECTORY ${PROJECT_BINARY_DIR}
            COMMENT "Packing the pictures of ${pack}"
            VERBATIM)
        list(APPEND outputs ${tar} ${tar}.gz)
    endforeach()
    # The game's own files compressed once it is linked.
    add_custom_command(
        OUTPUT ${PROJECT_BINARY_DIR}/vantor.js.gz ${PROJECT_BINARY_DIR}/vantor.wasm.gz
        COMMAND ${VANTOR_GZIP} -9 -n -k -f ${PROJECT_BINARY_DIR}/vantor.js
                ${PROJECT_BINARY_DIR}/vantor.wasm
        DEPENDS ${target}
        COMMENT "Compressing the game for the page"
        VERBATIM)
    list(APPEND outputs ${PROJECT_BINARY_DIR}/vantor.js.gz ${PROJECT_BINARY_DIR}/vantor.wasm.gz)
    add_custom_target(web-page ALL DEPENDS ${outputs})
    add_dependencies(web-page game-pictures)
endfunction()
