# Test suites of the game area.

# The whole game on the headless backend, through its real screens.
vantor_test(game_flow_test game_flow_test.cpp ${PROJECT_SOURCE_DIR}/tools/auto_driver.cpp)
target_include_directories(game_flow_test PRIVATE ${PROJECT_SOURCE_DIR}/tools)

# The vantor-run tool, run as built.
vantor_test(vantor_run_test vantor_run_test.cpp)
add_dependencies(vantor_run_test vantor-run)

# The real executable on the SDL backend, played under Xvfb with xdotool.
vantor_test(game_desktop_test game_desktop_test.cpp xvfb_display.cpp)
add_dependencies(game_desktop_test vantor_game)
