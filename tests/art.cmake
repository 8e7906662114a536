# Test suites of the art area.
vantor_test(art_test art_test.cpp)
# The regeneration test runs artgen from the build folder.
add_dependencies(art_test artgen)
