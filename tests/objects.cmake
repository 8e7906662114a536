# Test suites of the objects area.
vantor_test(object_lists_test object_lists_test.cpp)
vantor_test(physics_test physics_test.cpp)
