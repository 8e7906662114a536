# Test suites of the gfx area.
vantor_test(raster_test raster_test.cpp)
