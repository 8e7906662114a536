# Test suites of the objects area.
