# Test suites of the pictures area.
