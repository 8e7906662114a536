# Test suites of the objects area.
vantor_test(object_lists_test object_lists_test.cpp)
vantor_test(physics_test physics_test.cpp)
vantor_test(field_test field_test.cpp)
vantor_test(frame_timer_test frame_timer_test.cpp)
vantor_test(race_soak_test race_soak_test.cpp)
vantor_test(vantor_field_test vantor_field_test.cpp)
# The tool test runs the built vantor-field.
add_dependencies(vantor_field_test vantor-field)
