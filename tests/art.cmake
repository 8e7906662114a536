# Test suites of the art area.
vantor_test(art_test art_test.cpp)
# The regeneration test runs artgen from the build folder.
add_dependencies(art_test artgen)

# The painting tools of artgen; the icon is checked with zlib, independently of our PNG writer.
find_package(ZLIB REQUIRED)
vantor_test(artgen_test artgen_test.cpp)
target_link_libraries(artgen_test PRIVATE artgen_paint ZLIB::ZLIB)
