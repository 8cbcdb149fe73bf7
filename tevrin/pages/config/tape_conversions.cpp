#include "tevrin/pages/config/tape_conversions.h"

#include "brannix/qcomponentcommon.h"
#include "platform/numtext.h"

#include <cmath>

namespace tapeconv {

QString GeneralFloatText(double value) { return QString::fromStdString(numtext::FloatToStr(value)); }

QString FixedText(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    double rounded = std::round(value * scale) / scale;
    if (rounded == 0) rounded = 0;   // no "-0.00"
    return QString::number(rounded, 'f', decimals);
}

bool ParseNumber(const QString& text, double& value) { return TQComponentCommon::StrToFloat(text, value); }

float PerPulseAdvance(double diameter, bool imperial)
{
    const double unit = imperial ? 1.0 / 12.0 : 0.001;
    return static_cast<float>(diameter * kPi * unit * kInversePulsesPerTurn);
}

QString DiameterText(double perPulse, bool imperial)
{
    return FixedText(perPulse * kPulsesPerTurn * (imperial ? 12.0 : 1000.0) * kInversePi, 4);
}

QString DiameterCaption(bool imperial)
{
    return imperial ? QStringLiteral("Capstan Diameter (inches)") : QStringLiteral("Capstan Diameter (mm)");
}

QString TapeLengthCaption(bool imperial)
{
    return imperial ? QStringLiteral("Tape Length Remaining (feet)") : QStringLiteral("Tape Length Remaining (meter)");
}

int FurnaceCoreTemperature(double x, bool supply110)
{
    const double t = supply110 ? 0.0029 * x * x * x - 0.4733 * x * x + 33.069 * x + 43.692
                               : 0.0625 * x * x * x - 3.8281 * x * x + 96.898 * x + 49.011;
    return static_cast<int>(std::trunc(t));
}

int FurnacePulseWidthLimit(bool supply110) { return supply110 ? 75 : 30; }

double FurnacePulseWidth(double t)
{
    const long double x = t;
    return static_cast<double>(4e-8L * x * x * x - 9e-6L * x * x + 0.031L * x - 1.1359L);
}

bool UnitSwitchedValue::Switch(const QString& shown, bool toMetric, QString& result)
{
    if (!known_ || shown != lastShown_) {
        // A value typed or read since the last switch starts a new chain of switches.
        double value = 0;
        if (!ParseNumber(shown, value)) return false;
        known_ = true;
        origin_ = shown;
        originMetric_ = !toMetric;
        originValue_ = value;
    }
    if (toMetric == originMetric_) {
        result = origin_;
    } else {
        const float converted = static_cast<float>(originValue_ * (toMetric ? toMetric_ : toImperial_));
        result = FixedText(converted, decimals_);
    }
    lastShown_ = result;
    return true;
}

}  // namespace tapeconv
