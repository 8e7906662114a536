# Test suites of the pictures area.
vantor_test(picture_loading_test picture_loading_test.cpp)
target_compile_definitions(picture_loading_test PRIVATE VANTOR_BUILD_TESTS_DIR="${CMAKE_CURRENT_BINARY_DIR}")
vantor_test(sprite_draw_test sprite_draw_test.cpp)
vantor_test(race_graphics_test race_graphics_test.cpp)
