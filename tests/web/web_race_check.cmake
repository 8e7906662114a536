# The same race everywhere: vantor-run built for the browser and run by node writes, byte for
# byte, the result line, trace, shots and sound of the native vantor-run given the same
# arguments, for a few races of different settings, drivers, clock steps and drawing scales.
# Prints "skipped: REASON" and passes where node or the browser build's vantor-run.js is missing
# (scripts/web.sh builds it into build/web).
# Usage: cmake -DNATIVE_RUN=<vantor-run> -DWEB_BUILD=<browser build> -P web_race_check.cmake
if(NOT NATIVE_RUN OR NOT WEB_BUILD)
    message(FATAL_ERROR "NATIVE_RUN and WEB_BUILD must be set")
endif()
include(${CMAKE_CURRENT_LIST_DIR}/web_test_folder.cmake)
web_test_node()
if(NOT node)
    return()
endif()
set(web_run "${WEB_BUILD}/vantor-run.js")
if(NOT EXISTS "${web_run}")
    message("skipped: ${web_run} is missing (scripts/web.sh builds it)")
    return()
endif()

web_test_folder(race out)
file(MAKE_DIRECTORY "${out}/native" "${out}/web")
set(failures "")

# race(NAME args... OUTPUTS files...): both tools run from the browser build (its pictures are
# the ones both read), each writing its outputs, @ standing for its own folder.
function(race name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "OUTPUTS")
    foreach(side native web)
        string(REPLACE "@" "${out}/${side}" arguments "${arg_UNPARSED_ARGUMENTS}")
        if(side STREQUAL "native")
            set(command "${NATIVE_RUN}")
        else()
            set(command "${node}" --no-experimental-fetch "${web_run}")
        endif()
        execute_process(COMMAND ${command} ${arguments} WORKING_DIRECTORY "${WEB_BUILD}"
            OUTPUT_VARIABLE stdout ERROR_VARIABLE stderr RESULT_VARIABLE status)
        file(WRITE "${out}/${side}/${name}.out" "status ${status}\n${stdout}")
        if(NOT status EQUAL 0)
            list(APPEND failures "${name}: ${side} run ended with ${status}: ${stderr}")
        endif()
    endforeach()
    foreach(file IN ITEMS ${name}.out ${arg_OUTPUTS})
        execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${out}/native/${file}"
            "${out}/web/${file}" RESULT_VARIABLE differ)
        if(differ)
            list(APPEND failures
                 "${name}: ${file} differs (${out}/native/${file}, ${out}/web/${file})")
        endif()
    endforeach()
    set(failures "${failures}" PARENT_SCOPE)
endfunction()

race(auto --seed 2024 --settings 1,1,1,1,1,1 --drive auto --frames 900 --shot menu:@/menu.bmp
    --shot controls:@/controls.bmp --shot 20:@/auto-20.bmp --shot 700:@/auto-700.bmp
    --trace @/auto.csv --audio @/auto.wav
    OUTPUTS menu.bmp controls.bmp auto-20.bmp auto-700.bmp auto.csv auto.wav)
race(finish --seed 7 --settings 0,2,2,3,2,0 --drive auto --step 33 --shot 300:@/finish-300.bmp
    --shot result:@/finish-result.bmp --trace @/finish.csv --audio @/finish.wav
    OUTPUTS finish-300.bmp finish-result.bmp finish.csv finish.wav)
set(scaled "")
if(EXISTS "${WEB_BUILD}/gfx-2x")
    set(scaled --scale 2)
endif()
race(up --seed 99 --settings 2,0,0,0,0,2 --drive up --step 50 --frames 400 ${scaled}
    --shot 150:@/up-150.bmp --trace @/up.csv --audio @/up.wav
    OUTPUTS up-150.bmp up.csv up.wav)

if(failures)
    list(JOIN failures "\n  " text)
    message(FATAL_ERROR "The browser build's races differ from the native ones:\n  ${text}\n"
                        "Both runs are kept in ${out}.")
endif()
file(REMOVE_RECURSE "${out}")
message("The three races of the browser build match the native ones byte for byte.")
