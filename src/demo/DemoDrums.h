#pragma once

#include <cstdint>
#include <vector>

// The demo's drums, synthesised in the character of the two drum machines:
// 44100 Hz, 16-bit mono, peaks just under full scale, the same samples every time.

// Drum 0..45 of the catalogue (0 is the start-up sound).
std::vector<int16_t> SynthesiseDemoDrum(int drumIndex);
