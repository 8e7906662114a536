# Test suites of the render area.
