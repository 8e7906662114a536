# Test suites of the render area.
vantor_test(road_test road_test.cpp)
vantor_test(race_frame_test race_frame_test.cpp)
