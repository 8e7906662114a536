# Test suites of the track area.
vantor_test(random_test random_test.cpp)
vantor_test(track_test track_test.cpp)
vantor_test(track_generation_test track_generation_test.cpp)
vantor_test(vantor_track_test vantor_track_test.cpp)
# The oracle must round exactly as written, like the game's own generation.
target_compile_options(track_generation_test PRIVATE -ffp-contract=off)
# The tool test runs the built vantor-track.
add_dependencies(vantor_track_test vantor-track)
