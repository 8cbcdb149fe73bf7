#pragma once
// The manual calibration gain calculator of the Global and Stream pages: the new gain factor
// is the calibration gas times the current gain factor over the analyzer's reading. Nothing
// is written to the analyzer.
#include <QString>

namespace gaincalc {

// The text of the new gain factor ("0.00"): "0" when an input is empty or the reading is 0.
// False, with `notANumber` naming the input, when a non-empty input is no number.
bool NewGainFactorText(const QString& calGas, const QString& reading, const QString& currentGain, QString& result,
                       QString& notANumber);

}  // namespace gaincalc
