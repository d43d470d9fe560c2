// The title tune: a small dance-band synthesiser that plays a written score.
#pragma once
#include <string>

// Reads the score file and writes a 44100 Hz, 16-bit stereo WAV file.
// Throws std::runtime_error naming the file and line on a fault.
void renderTune(const std::string& scorePath, const std::string& wavPath);
