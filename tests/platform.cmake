# Test suites of the platform area.

# The Window, its pump and its reports on the scripted backend.
vantor_test(platform_window_test platform_window_test.cpp)
vantor_test(platform_pacer_test platform_pacer_test.cpp)

# The desktop backend for real, under an Xvfb server each test starts on a free display.
vantor_test(platform_sdl_window_test platform_sdl_window_test.cpp xvfb_display.cpp)

# Only the desktop backend includes SDL.
add_test(NAME platform_sdl_included_only_by_the_desktop_backend
         COMMAND ${CMAKE_COMMAND} -DSOURCE_ROOT=${PROJECT_SOURCE_DIR}
                 -P ${CMAKE_CURRENT_SOURCE_DIR}/check_sdl_includes.cmake)
