#pragma once
// The running test's own folder for the files it writes, so that no test leaves anything behind
// and two test runs at once never share a file.

#include <string>

// The folder of the running test, ending with '/': made on the first call in a test under the
// temporary folder (TMPDIR, or /tmp), named after the test with a part no other folder shares,
// and the same for the rest of the test. It is removed when the test ends without failing; a
// failed test keeps it for its saved files and prints where it is.
std::string testFolder();
