#pragma once
// Running the Windows build (scripts/windows.sh, build/windows) through Wine in a test: where the
// build is, whether Wine can run it here, and a Wine prefix of the test's own.

#include <string>

// The Windows build folder: VANTOR_WINDOWS_BUILD_DIR from the environment ctest gives the tests.
std::string windowsBuildFolder();

// Why the Windows programs cannot run here (no Wine, no Windows build or no Wine prefix in it),
// for GTEST_SKIP; empty when they can.
std::string whyWindowsProgramsCannotRun();

// Makes `prefix` a Wine prefix of the test's own (tests/support/wine_prefix.sh) and points
// WINEPREFIX at it, with Wine's debugging output off. False when it could not be made.
bool useOwnWinePrefix(const std::string& prefix);

// Waits until the prefix's Wine server has ended, so that nothing of the test outlives it.
void endWine();

// The Windows user's folder in the prefix (drive_c/users/NAME), empty when there is none.
std::string wineUserFolder(const std::string& prefix);
