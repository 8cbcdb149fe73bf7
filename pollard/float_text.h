#pragma once
// Analyzer floats as display text.
#include <string>

namespace pollard {

// False when the exponent field is 254 or 255 (infinities, NaNs and magnitudes from 2^127).
bool IsValidFlt(float value);
// "NAN" for an invalid value; otherwise 2 decimals above 100, 3 above 10, 4 above 1,
// 5 above 0, and "%.6g" for zero. The text always uses '.'.
std::string FormatFlt(float value);

}  // namespace pollard
