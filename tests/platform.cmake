# Test suites of the platform area.
