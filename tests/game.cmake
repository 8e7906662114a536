# Test suites of the game area.

# The whole game on the headless backend, through its real screens.
vantor_test(game_flow_test game_flow_test.cpp)
target_link_libraries(game_flow_test PRIVATE vantor_player)

# The vantor-run tool, run as built.
vantor_test(vantor_run_test vantor_run_test.cpp)
add_dependencies(vantor_run_test vantor-run)

# The real executable on the SDL backend, played under Xvfb with xdotool.
vantor_test(game_desktop_test game_desktop_test.cpp xvfb_display.cpp)
add_dependencies(game_desktop_test vantor_game)

# A short soak: eight whole games back to back with their own settings and endings, nothing left
# alive after any of them. The full soak is `vantor-soak` with its default 200 races.
add_test(NAME vantor_soak_short COMMAND vantor-soak --races 8 --frames 300 --seed 3
         WORKING_DIRECTORY ${PROJECT_SOURCE_DIR})

# Every tool output (tracks, fields, frames, whole races with their traces and shots) for a fixed
# set of seeds and settings, compared with stored checksums.
add_test(NAME tool_outputs_match_stored_checksums
         COMMAND ${CMAKE_COMMAND} -DTOOLS=${PROJECT_BINARY_DIR}/tools -DSOURCE_ROOT=${PROJECT_SOURCE_DIR}
                 -P ${CMAKE_CURRENT_SOURCE_DIR}/golden_outputs.cmake)
