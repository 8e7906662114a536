#pragma once
// Helpers shared by the files of the SDL backend (never included outside src/platform/sdl): how a
// failed SDL call becomes the platform's last error.

// Before an SDL call whose failure we report: forget earlier SDL errors, so that what is read
// after a failure belongs to this call alone.
void beginSdlCall();

// After that call failed: the platform's last error becomes "CALL: " and SDL's own description.
// The system's error number is left out: SDL's libraries set it along the way even when they
// succeed, so its text would tell a stale reason ("Resource temporarily unavailable") beside SDL's.
void recordSdlFailure(const char* call);
