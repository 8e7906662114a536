# Test suites of the game area.
