#pragma once
// The tape and furnace quantities of the Global page, as plain functions.
//
// The analyzer stores the tape advance as a stain width per capstan pulse (feet or metres per
// pulse) and a pulse count; the operator sees the capstan diameter (inches or millimetres) and
// the stain width. The furnace is driven by a pulse width (percent) whose core temperature
// depends on the supply voltage.
#include <QString>

namespace tapeconv {

// Constants, applied in the order the functions below give.
constexpr double kMmPerInch = 25.4;
constexpr double kInchPerMm = 0.03937007874015748;
constexpr double kMetrePerFoot = 0.3048;
constexpr double kFeetPerMetre = 3.28084;
constexpr double kPi = 3.1415926;
constexpr double kInversePi = 0.31830989161357204;
constexpr double kPulsesPerTurn = 256.0;
constexpr double kInversePulsesPerTurn = 0.00390625;

// The class library's general float text (15 significant digits).
QString GeneralFloatText(double value);
// A number with a fixed count of decimals, halves rounded away from zero ("0.00", "0.0000").
QString FixedText(double value, int decimals);
// The whole text as a decimal number (blanks around it allowed); false when it is none.
bool ParseNumber(const QString& text, double& value);

// Stain width per pulse, single precision, from the capstan diameter: d x pi x (1/12 or 0.001)
// x 1/256 (inches to feet per pulse, or millimetres to metres per pulse).
float PerPulseAdvance(double diameter, bool imperial);
// The capstan diameter ("0.0000") that a stain width per pulse stands for.
QString DiameterText(double perPulse, bool imperial);
// Caption texts of the current unit.
QString DiameterCaption(bool imperial);     // "Capstan Diameter (inches)" / "(mm)"
QString TapeLengthCaption(bool imperial);   // "Tape Length Remaining (feet)" / "(meter)"

// Furnace core temperature (degrees C, truncated toward zero) of a pulse width for a 110 VAC
// (supply110) or 220 VAC supply.
int FurnaceCoreTemperature(double pulseWidth, bool supply110);
// The highest valid pulse width of a supply: 75 (110 VAC) or 30 (220 VAC).
int FurnacePulseWidthLimit(bool supply110);
// The pulse width that gives a core temperature (one polynomial for both supplies).
double FurnacePulseWidth(double temperature);

// A quantity shown in the current unit that the operator may switch between imperial and
// metric. Each switch converts by the fixed factors, rounded to single precision and to the
// display's decimals; switching back, while the text is still the one the last switch showed,
// gives back the value from before the switch, so repeated switches never drift.
class UnitSwitchedValue {
public:
    UnitSwitchedValue(double toMetric, double toImperial, int decimals)
        : toMetric_(toMetric), toImperial_(toImperial), decimals_(decimals)
    {
    }
    // The text to show after switching to metric (or imperial) from `shown`; false, with
    // `result` untouched, when `shown` is not a number.
    bool Switch(const QString& shown, bool toMetric, QString& result);

private:
    double toMetric_;
    double toImperial_;
    int decimals_;
    bool known_ = false;        // origin_ and lastShown_ hold a switch's data
    QString origin_;            // the text before the first of the switches
    bool originMetric_ = false; // the unit of origin_
    double originValue_ = 0;
    QString lastShown_;         // what the last switch showed
};

}  // namespace tapeconv
