# The game's page played in Debian's chromium (page_test.mjs). Prints "skipped: REASON" and passes
# where node, python3, chromium, puppeteer-core (in TOOLS/node_modules) or the browser build is
# missing: `scripts/web.sh --tests` installs and builds them all.
# The native vantor-run draws the menu set to the track code the page is then given.
# Usage: cmake -DNATIVE_RUN=<vantor-run> -DWEB_BUILD=<browser build> -DTOOLS=<folder>
#              -DSOURCE_ROOT=<checkout> -P web_page_check.cmake
if(NOT NATIVE_RUN OR NOT WEB_BUILD OR NOT TOOLS OR NOT SOURCE_ROOT)
    message(FATAL_ERROR "NATIVE_RUN, WEB_BUILD, TOOLS and SOURCE_ROOT must be set")
endif()
include(${CMAKE_CURRENT_LIST_DIR}/web_test_folder.cmake)
web_test_node()
find_program(python python3)
find_program(chromium NAMES chromium chromium-browser)
if(NOT node)
    return()
elseif(NOT python)
    message("skipped: python3 is not installed")
    return()
elseif(NOT chromium)
    message("skipped: chromium is not installed (scripts/web.sh --tests installs it)")
    return()
elseif(NOT EXISTS "${TOOLS}/node_modules/puppeteer-core")
    message("skipped: puppeteer-core is not in ${TOOLS} (scripts/web.sh --tests installs it)")
    return()
elseif(NOT EXISTS "${WEB_BUILD}/index.html" OR NOT EXISTS "${WEB_BUILD}/vantor.wasm")
    message("skipped: ${WEB_BUILD} holds no page (scripts/web.sh builds it)")
    return()
endif()

web_test_folder(page work)
# Seed 77 with settings long, flat, medium turns, 32 cars, fast opponents, close grid.
set(code MD4A330WMA)
execute_process(COMMAND "${NATIVE_RUN}" --track ${code} --drive none --frames 1
                        --shot "menu:${work}/menu.bmp"
                WORKING_DIRECTORY "${WEB_BUILD}" OUTPUT_QUIET RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "vantor-run could not draw the menu of ${code} (${status}).")
endif()
execute_process(COMMAND "${node}" "${CMAKE_CURRENT_LIST_DIR}/page_test.mjs" "${WEB_BUILD}"
                        "${SOURCE_ROOT}/scripts/web_serve.py" "${TOOLS}" "${chromium}" "${work}"
                        ${code} "${work}/menu.bmp"
                RESULT_VARIABLE status TIMEOUT 180)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "The page did not play in chromium (${status}).")
endif()
