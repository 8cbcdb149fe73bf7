#include "tevrin/pages/widgets/gain_calculator.h"

#include "brannix/qcomponentcommon.h"

#include <cmath>

namespace gaincalc {

bool NewGainFactorText(const QString& calGas, const QString& reading, const QString& currentGain, QString& result,
                       QString& notANumber)
{
    if (calGas.isEmpty() || reading.isEmpty() || currentGain.isEmpty()) {
        result = QStringLiteral("0");
        return true;
    }
    double gas = 0, read = 0, gain = 0;
    const std::pair<const QString*, double*> inputs[] = {{&calGas, &gas}, {&reading, &read}, {&currentGain, &gain}};
    for (const auto& [text, value] : inputs)
        if (!TQComponentCommon::StrToFloat(*text, *value)) {
            notANumber = *text;
            return false;
        }
    if (read == 0) {
        result = QStringLiteral("0");
        return true;
    }
    double rounded = std::round(gas * gain / read * 100.0) / 100.0;
    if (rounded == 0) rounded = 0;
    result = QString::number(rounded, 'f', 2);
    return true;
}

}  // namespace gaincalc
