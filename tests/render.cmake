# Test suites of the render area.
vantor_test(road_test road_test.cpp)
