# Test suites of the gfx area.
