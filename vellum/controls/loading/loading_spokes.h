#pragma once

// The tables of the loading spinner, apart from any drawing: where each spoke points and what
// colour it has. The spinner keeps the colours attached to the spoke index and moves the angles.

#include <windows.h>

#include <vector>

namespace Vellum {

// Spoke i points at (i + 1) * 360 / count degrees, summed step by step. Empty for a count below 1.
std::vector<double> BuildSpokeAngles(int count);
// Spoke 0 has the colour as given; spoke i >= 1 its red, green and blue with alpha
// i * (255 / count), the division in integers. Empty for a count below 1.
std::vector<DWORD> BuildSpokeColours(DWORD colour, int count);
// The next rotation position; stays 0 when there are no spokes.
int NextSpoke(int current, int count);

}  // namespace Vellum
