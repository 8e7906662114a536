# Test suites of the track area.
vantor_test(random_test random_test.cpp)
