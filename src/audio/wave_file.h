#pragma once
// Writes mixed sound as a WAV file: 16-bit PCM, two channels, soundRate samples per second.
// Used by vantor-run's --audio.

#include <cstdint>
#include <vector>

// `samples` are interleaved left, right. Returns false (with the platform's last error set to the
// system's reason) when the file cannot be written.
bool writeWaveFile(const char* path, const std::vector<int16_t>& samples);
