# Runs the command-line tools on a fixed set of seeds and settings and compares every output
# (standard output, traces, frames, sound) with the checksums stored in golden_outputs.sha256, so
# that no change to the code moves a race, a track, a field, a picture or a sample by one bit
# unnoticed.
# Usage: cmake -DTOOLS=<build>/tools -DSOURCE_ROOT=<checkout> [-DRECORD=ON] -P golden_outputs.cmake
# With RECORD=ON the checksums file is written anew instead of compared.
#
# The Windows tools (scripts/windows.sh) are checked against the same checksums through Wine:
# -DEMULATOR=wine -DWINE_TEMPLATE=<build/windows>/wine runs <TOOLS>/<tool>.exe in a Wine prefix
# of the run's own (tests/support/wine_prefix.sh) and names the output files by Wine's drive Z:.
# Where Wine or the Windows build is missing, the run prints "Skipped: " and why, and passes.
if(NOT TOOLS OR NOT SOURCE_ROOT)
    message(FATAL_ERROR "TOOLS and SOURCE_ROOT must be set")
endif()
set(suffix "")
if(EMULATOR)
    set(suffix ".exe")
    find_program(emulator_path ${EMULATOR})
    if(NOT emulator_path)
        message("Skipped: ${EMULATOR} is not installed (scripts/windows.sh installs it)")
        return()
    endif()
    if(NOT EXISTS "${TOOLS}/vantor-run.exe" OR NOT EXISTS "${WINE_TEMPLATE}/system.reg")
        message("Skipped: no Windows build with its Wine prefix in ${TOOLS}/.. "
                "(scripts/windows.sh makes it)")
        return()
    endif()
endif()
set(sums_file "${SOURCE_ROOT}/tests/tools/golden_outputs.sha256")

# A folder of this run's own, removed when every output matched.
string(RANDOM LENGTH 12 tag)
set(base "$ENV{TMPDIR}")
if(NOT base)
    set(base "/tmp")
endif()
set(out "${base}/vantor-golden-${tag}")
file(MAKE_DIRECTORY "${out}")
# The run folder as the tools name it: through Wine's drive Z: for the Windows tools.
set(place "${out}")
if(EMULATOR)
    set(place "Z:${out}")
    set(ENV{WINEPREFIX} "${out}/wine")
    set(ENV{WINEDEBUG} "-all")
    execute_process(COMMAND "${SOURCE_ROOT}/tests/support/wine_prefix.sh" "${WINE_TEMPLATE}"
                            "${out}/wine" RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "The Wine prefix could not be made in ${out}/wine")
    endif()
endif()

set(results "")
set(failures "")

# run(NAME program args... [OUTPUTS file...]): runs one tool from the source root; its standard
# output and each named output file (inside the run folder) become lines "sha256  NAME:what".
function(run name program)
    cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "OUTPUTS")
    execute_process(COMMAND ${EMULATOR} "${TOOLS}/${program}${suffix}" ${arg_UNPARSED_ARGUMENTS}
        WORKING_DIRECTORY "${SOURCE_ROOT}" OUTPUT_VARIABLE stdout RESULT_VARIABLE status)
    string(SHA256 sum "status ${status}\n${stdout}")
    list(APPEND results "${sum}  ${name}:stdout")
    foreach(file IN LISTS arg_OUTPUTS)
        if(EXISTS "${out}/${file}")
            file(SHA256 "${out}/${file}" sum)
        else()
            set(sum "missing")
        endif()
        list(APPEND results "${sum}  ${name}:${file}")
    endforeach()
    set(results "${results}" PARENT_SCOPE)
endfunction()

run(track-short vantor-track 1 1024 -20 20 -8 8)
run(track-long vantor-track 4294967295 4096 -100 100 -40 40)
run(track-flat vantor-track 77 64 0 0 0 0)
run(field-middle vantor-field 2024 1 1 1 1 1 1)
run(field-full vantor-field 7 2 2 2 3 2 2)
run(field-small vantor-field 0 0 0 0 0 0 0)
run(frame-grid vantor-frame 7 2,2,2,3,2,2 0 ${place}/frame-grid.bmp 0 0 OUTPUTS frame-grid.bmp)
run(frame-mid vantor-frame 7 2,2,2,3,2,2 300000 ${place}/frame-mid.bmp 37500 OUTPUTS frame-mid.bmp)
run(frame-go vantor-frame 11 0,1,2,1,0,1 50000 ${place}/frame-go.bmp 12000 3.5 OUTPUTS frame-go.bmp)
run(run-auto vantor-run --seed 2024 --settings 1,1,1,1,1,1 --drive auto --frames 900
    --shot menu:${place}/auto-menu.bmp --shot controls:${place}/auto-controls.bmp
    --shot 20:${place}/auto-20.bmp --shot 700:${place}/auto-700.bmp
    --shot result:${place}/auto-result.bmp --trace ${place}/auto.csv --audio ${place}/auto.wav
    OUTPUTS auto-menu.bmp auto-controls.bmp auto-20.bmp auto-700.bmp auto-result.bmp auto.csv
            auto.wav)
run(run-finish vantor-run --seed 7 --settings 0,2,2,3,2,0 --drive auto --step 33
    --shot 1:${place}/finish-1.bmp --shot 300:${place}/finish-300.bmp
    --shot result:${place}/finish-result.bmp --trace ${place}/finish.csv --audio ${place}/finish.wav
    OUTPUTS finish-1.bmp finish-300.bmp finish-result.bmp finish.csv finish.wav)
run(run-up vantor-run --seed 99 --settings 2,0,0,0,0,2 --drive up --step 50 --frames 400
    --shot 150:${place}/up-150.bmp --trace ${place}/up.csv --audio ${place}/up.wav
    OUTPUTS up-150.bmp up.csv up.wav)
run(run-none vantor-run --seed 5 --settings 1,2,1,2,1,1 --drive none --frames 200
    --shot 200:${place}/none-200.bmp --audio ${place}/none.wav OUTPUTS none-200.bmp none.wav)

if(EMULATOR)
    execute_process(COMMAND wineserver --wait)
endif()

list(JOIN results "\n" text)
if(RECORD)
    file(WRITE "${sums_file}" "${text}\n")
    file(REMOVE_RECURSE "${out}")
    message(STATUS "Wrote ${sums_file}")
    return()
endif()

file(STRINGS "${sums_file}" expected)
foreach(line IN LISTS results)
    list(FIND expected "${line}" found)
    if(found EQUAL -1)
        list(APPEND failures "${line}")
    endif()
endforeach()
list(LENGTH results count)
list(LENGTH expected expected_count)
if(failures OR NOT count EQUAL expected_count)
    list(JOIN failures "\n  " listed)
    message(FATAL_ERROR "Tool outputs differ from the stored checksums (kept in ${out}):\n  ${listed}")
endif()
file(REMOVE_RECURSE "${out}")
message(STATUS "All ${count} tool outputs match their stored checksums")
