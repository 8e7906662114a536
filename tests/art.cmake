# Test suites of the art area.
