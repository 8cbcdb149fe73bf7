// Engineering units in 22 groups and the conversion between two units of one group.
//
// A value v in a unit is v * a * b in the group's base unit (the unit whose multipliers are
// 1 and 1). Temperature and the clock group are converted by rule instead.
#include "ombrel/ombrel_exports.h"
#include "ombrel/out_text.h"

#include <cmath>
#include <limits>

namespace {

#pragma pack(push, 1)
struct UnitDef {
    char name[64];
    double a;
    double b;
    uint8_t metric;   // 1 for metric units; kept with the table, read by no routine
};
#pragma pack(pop)
static_assert(sizeof(UnitDef) == 81, "a unit row is 81 bytes");

struct UnitGroup {
    char name[64];
    int32_t count;
    const UnitDef* units;
};

constexpr int kGroupCount = 22;
constexpr int kTemperature = 11;
constexpr int kClock = 21;

// 1: Acceleration
const UnitDef kUnits1[] = {
    {"Meters/sec./sec.", 1.0, 1.0, 1},
    {"Centimeters/sec./sec.", 1.0, 0.01, 1},
    {"Feet/sec./sec.", 1.0, 0.3048, 0},
    {"Kilometers/hr./sec.", 1.0, 0.277777777778, 1},
    {"Miles/hr./sec.", 1.0, 0.44704, 0},
};
// 2: Area
const UnitDef kUnits2[] = {
    {"Square meters", 1.0, 1.0, 1},
    {"Ares", 1.0, 100.0, 1},
    {"Acres", 1.0, 4046.8564224, 0},
    {"Centares", 1.0, 1.0, 1},
    {"Square centimeters", 1.0, 0.0001, 1},
    {"Square feet", 1.0, 0.09290304, 0},
    {"Square kilometers", 1.0, 1000000.0, 1},
    {"Square miles", 1.0, 2589988.11034, 0},
    {"Square yards", 1.0, 0.83612736, 0},
    {"Hectares", 1.0, 10000.0, 1},
    {"Circular mils", 1.0, 5.06707479097e-10, 0},
    {"Square inches", 1.0, 0.00064516, 0},
    {"Square millimeters", 1.0, 1e-06, 1},
    {"Square mils", 1.0, 6.4516e-10, 0},
    {"Square Chains (gunters)", 1.0, 404.68564224, 0},
};
// 3: Energy
const UnitDef kUnits3[] = {
    {"Btus", 1.0, 1055.05585262, 0},
    {"Joules", 1.0, 1.0, 1},
    {"Kilojoules", 1.0, 1000.0, 1},
    {"Ergs", 1.0, 1e-07, 1},
    {"Kilogram-calories", 1.0, 4186.8, 1},
    {"Gram-calories", 1.0, 4.1868, 1},
    {"Kilowatt-hours", 1.0, 3600000.0, 1},
    {"Watt-hours", 1.0, 3600.0, 1},
    {"Horsepower-hours", 1.0, 2684519.5377, 0},
    {"Foot-pounds", 1.0, 1.35581794833, 0},
    {"Kilogram-meters", 1.0, 9.80665, 1},
    {"Gram-meters", 1.0, 0.00980665, 1},
    {"Kilogram-centimeters", 1.0, 0.0980665, 1},
    {"Gram-centimeters", 1.0, 9.80665e-05, 1},
    {"Dyne-centimeters", 1.0, 1e-07, 1},
};
// 4: Illumination
const UnitDef kUnits4[] = {
    {"Foot-candle", 1.0, 10.7639104167, 0},
    {"Lux", 1.0, 1.0, 1},
    {"Lumen/sq. ft.", 1.0, 10.7639104167, 0},
    {"Lumen/sq. meter", 1.0, 1.0, 1},
};
// 5: Length (Distance)
const UnitDef kUnits5[] = {
    {"Meters", 1.0, 1.0, 1},
    {"Centimeters", 1.0, 0.01, 1},
    {"Millimeters", 1.0, 0.001, 1},
    {"Inches", 1.0, 0.0254, 0},
    {"Feet", 1.0, 0.3048, 0},
    {"Angstroms", 1.0, 1e-10, 1},
    {"Bolts (U.S. Cloth)", 1.0, 36.576, 0},
    {"Cables", 1.0, 219.456, 0},
    {"Chains (Gunters)", 1.0, 20.1168, 0},
    {"Decimeters", 1.0, 0.1, 1},
    {"Dekameters", 1.0, 10.0, 1},
    {"Ells", 1.0, 1.143, 0},
    {"Fathoms", 1.0, 1.8288, 0},
    {"Furlongs", 1.0, 201.168, 0},
    {"Hands", 1.0, 0.1016, 0},
    {"Hectometers", 1.0, 100.0, 1},
    {"Kilometers", 1.0, 1000.0, 1},
    {"Leagues (approx.)", 1.0, 4828.032, 0},
    {"Light years", 1.0, 9.46073047258e+15, 0},
    {"Links (engineers)", 1.0, 0.3048, 0},
    {"Links (surveyors)", 1.0, 0.201168, 0},
    {"Micromicrons", 1.0, 1e-12, 1},
    {"Microns", 1.0, 1e-06, 1},
    {"Miles", 1.0, 1609.344, 0},
    {"Millimicrons", 1.0, 1e-09, 1},
    {"Mils", 1.0, 2.54e-05, 0},
    {"Myriameters", 1.0, 10000.0, 1},
    {"Nails", 1.0, 0.05715, 0},
    {"Nanometers", 1.0, 1e-09, 1},
    {"Nautical Miles", 1.0, 1852.0, 0},
    {"Pace", 1.0, 0.762, 0},
    {"Parsecs", 1.0, 3.08567758149e+16, 0},
    {"Picometers", 1.0, 1e-12, 1},
    {"Pika ems", 1.0, 0.00423333333333, 0},
    {"Rods", 1.0, 5.0292, 0},
    {"Rods (surveyors''meas.)", 1.0, 5.0292, 0},
    {"Ropes", 1.0, 6.096, 0},
    {"Yards", 1.0, 0.9144, 0},
};
// 6: Mass && Weight
const UnitDef kUnits6[] = {
    {"Grams", 1.0, 1.0, 1},
    {"Kilograms", 1.0, 1000.0, 1},
    {"Pounds", 1.0, 453.59237, 0},
    {"Ounces", 1.0, 28.349523125, 0},
    {"Carats", 1.0, 0.2, 1},
    {"Centigrams", 1.0, 0.01, 1},
    {"Daitons", 1.0, 1.6605390666e-24, 1},
    {"Decigrams", 1.0, 0.1, 1},
    {"Dekagrams", 1.0, 10.0, 1},
    {"Drams", 1.0, 1.77184519531, 0},
    {"Dynes", 1.0, 0.00101971621298, 1},
    {"Grains (troy)", 1.0, 0.06479891, 0},
    {"Hectograms", 1.0, 100.0, 1},
    {"Hundredwgts(short)", 1.0, 45359.237, 0},
    {"Hundredwgts(long)", 1.0, 50802.34544, 0},
    {"Joules/cm.", 1.0, 10197.1621298, 1},
    {"Joules/meter", 1.0, 101.971621298, 1},
    {"Micrograms", 1.0, 1e-06, 1},
    {"Milliers", 1.0, 1000000.0, 1},
    {"Milligrams", 1.0, 0.001, 1},
    {"Myriagrams", 1.0, 10000.0, 1},
    {"Newtons", 1.0, 101.971621298, 1},
    {"Ounces (avdp.)", 1.0, 28.349523125, 0},
    {"Ounces (troy)", 1.0, 31.1034768, 0},
    {"Pennyweights (troy)", 1.0, 1.55517384, 0},
    {"Poundals", 1.0, 14.0980818502, 0},
    {"Pounds (troy)", 1.0, 373.2417216, 0},
    {"Slugs", 1.0, 14593.9029372, 0},
    {"Stones", 1.0, 6350.29318, 0},
    {"Tons (long)", 1.0, 1016046.9088, 0},
    {"Tons (short)", 1.0, 907184.74, 0},
    {"Tons (metric)", 1.0, 1000000.0, 1},
};
// 7: Concentration
const UnitDef kUnits7[] = {
    {"Parts/million (ppm)", 1.0, 1.0, 0},
    {"Grains/gallon (U.S.)", 1.0, 17.1180610453, 0},
    {"Grains/gallon (Imp.)", 1.0, 14.2537675233, 0},
    {"Milligrams/liter", 1.0, 1.0, 1},
    {"Percent", 10000.0, 1.0, 0},
    {"Pounds/million Gal.(U.S.)", 1.0, 0.119826427317, 0},
};
// 8: Power
const UnitDef kUnits8[] = {
    {"Horsepower", 1.0, 745.699871582, 0},
    {"Horsepower (metric)", 1.0, 735.49875, 1},
    {"Kilowatts", 1.0, 1000.0, 1},
    {"Watts", 1.0, 1.0, 1},
    {"Btu/min.", 1.0, 17.5842642103, 0},
    {"Btu/hr.", 1.0, 0.293071070172, 0},
    {"Dyne-cm./sec.", 1.0, 1e-07, 1},
    {"Ergs/sec.", 1.0, 1e-07, 1},
    {"Foot-pounds/min.", 1.0, 0.0225969658055, 0},
    {"Foot-pounds/sec.", 1.0, 1.35581794833, 0},
    {"Gram-calories/sec.", 1.0, 4.1868, 1},
    {"Hectowatts", 1.0, 100.0, 1},
    {"Kilogram-calories/min.", 1.0, 69.78, 1},
    {"Myriawatts", 1.0, 10000.0, 1},
};
// 9: Pressure
const UnitDef kUnits9[] = {
    {"Atmospheres", 1.0, 1.0, 0},
    {"Bars", 1.0, 0.986923266716, 1},
    {"Centimeters of mercury", 1.0, 0.0131578966114, 1},
    {"Centimeters of water", 1.0, 0.000967841105354, 1},
    {"Dynes/sq. cm.", 1.0, 9.86923266716e-07, 1},
    {"Feet of seawater", 1.0, 0.0302372918135, 0},
    {"Feet of water (39.2 degF)", 1.0, 0.0294989390575, 0},
    {"Grams/sq. cm.", 1.0, 0.000967841105354, 1},
    {"Inches of mercury (32 degF)", 1.0, 0.0334209721194, 0},
    {"Inches of mercury (60 degF)", 1.0, 0.0333269183321, 0},
    {"Inches of water (39.2 degF)", 1.0, 0.0024582482112, 0},
    {"Inches of water (60 degF)", 1.0, 0.0024558598569, 0},
    {"Kilograms/sq. mm.", 1.0, 96.7841105354, 1},
    {"Kilograms/sq. cm.", 1.0, 0.967841105354, 1},
    {"Kilograms/sq. meter", 1.0, 9.67841105354e-05, 1},
    {"Kilopascals (kPa)", 0.06804, 0.145, 1},
    {"Meters of mercury", 1.0, 1.31578966114, 1},
    {"Meters of seawater", 1.0, 0.0992037132988, 1},
    {"Meters of water", 1.0, 0.0967841105354, 1},
    {"Millibars", 1.0, 0.000986923266716, 1},
    {"Millimeters of mercury", 1.0, 0.00131578966114, 1},
    {"Ounce/sq. inch", 1.0, 0.00425287274437, 0},
    {"Pounds/sq. foot", 1.0, 0.000472541416041, 0},
    {"Pounds/sq. inch", 1.0, 0.06804, 0},
    {"Tons/sq. foot", 1.0, 0.945082832082, 0},
    {"Tons/sq. inch", 1.0, 136.09192782, 0},
    {"Torr (same as mm Hg)", 1.0, 0.00131578947368, 0},
};
// 10: Rate of Flow
const UnitDef kUnits10[] = {
    {"Liters/second", 1.0, 1.0, 1},
    {"Liters/minute", 1.0, 0.0166666666667, 1},
    {"Liters/hour", 1.0, 0.000277777777778, 1},
    {"Cubic cms./second", 1.0, 0.001, 1},
    {"Cubic cms./minute", 1.0, 1.66666666667e-05, 1},
    {"Cubic cms./hour", 1.0, 2.77777777778e-07, 1},
    {"Cubic feet/second", 1.0, 28.316846592, 0},
    {"Cubic feet/minute", 1.0, 0.4719474432, 0},
    {"Cubic feet/hour", 1.0, 0.00786579072, 0},
    {"Cubic meters/second", 1.0, 1000.0, 1},
    {"Cubic meters/minute", 1.0, 16.6666666667, 1},
    {"Cubic meters/hour", 1.0, 0.277777777778, 1},
    {"Cubic yards/second", 1.0, 764.554857984, 0},
    {"Cubic yards/minute", 1.0, 12.7425809664, 0},
    {"Cubic yards/hour", 1.0, 0.21237634944, 0},
    {"Gallons/second (U.S.)", 1.0, 3.785411784, 0},
    {"Gallons/minute (U.S.)", 1.0, 0.0630901964, 0},
    {"Gallons/hour (U.S.)", 1.0, 0.00105150327333, 0},
    {"Gallons/second (Imp.)", 1.0, 4.54609, 0},
    {"Gallons/minute (Imp.)", 1.0, 0.0757681666667, 0},
    {"Gallons/hour (Imp.)", 1.0, 0.00126280277778, 0},
    {"Miner''s inches", 1.0, 0.7079211648, 0},
    {"Pounds water/minute", 1.0, 0.00755987283333, 0},
    {"Tons of water/day", 1.0, 0.0104998233796, 0},
};
// 11: Temperature
const UnitDef kUnits11[] = {
    {"Degrees Centigrade", 0.0, 1.0, 1},
    {"Degrees Farenheit", 32.0, 1.8, 0},
    {"Degrees Kelvin", 273.18, 1.0, 1},
    {"Degrees Rankin", 492.0, 1.8, 0},
};
// 12: Time
const UnitDef kUnits12[] = {
    {"Seconds", 1.0, 1.0, 0},
    {"Minutes", 1.0, 60.0, 0},
    {"Hours", 1.0, 3600.0, 0},
    {"Days", 1.0, 86400.0, 0},
    {"Weeks", 1.0, 604800.0, 0},
    {"Years", 1.0, 31536000.0, 0},
    {"Leap years", 1.0, 31622400.0, 0},
    {"Milliseconds", 0.001, 1.0, 0},
    {"Samples (60 per second)", 1.0, 0.01666667, 0},
};
// 13: Torque
const UnitDef kUnits13[] = {
    {"Foot-pounds", 1.0, 1.0, 0},
    {"Centimeter-dynes", 1.0, 7.37562149277e-08, 1},
    {"Centimeter-grams", 1.0, 7.23301385121e-05, 1},
    {"Meter-kilograms", 1.0, 7.23301385121, 1},
};
// 14: Velocity (Speed)
const UnitDef kUnits14[] = {
    {"Meters/second", 1.0, 1.0, 1},
    {"Meters/minute", 1.0, 0.0166666666667, 1},
    {"Meters/hour", 1.0, 0.000277777777778, 1},
    {"Centimeters/second", 1.0, 0.01, 1},
    {"Centimeters/minute", 1.0, 0.000166666666667, 1},
    {"Centimeters/hour", 1.0, 2.77777777778e-06, 1},
    {"Feet/second", 1.0, 0.3048, 0},
    {"Feet/minute", 1.0, 0.00508, 0},
    {"Feet/hour", 1.0, 8.46666666667e-05, 0},
    {"Kilometers/second", 1.0, 1000.0, 1},
    {"Kilometers/minute", 1.0, 16.6666666667, 1},
    {"Kilometers/hour", 1.0, 0.277777777778, 1},
    {"Knots", 1.0, 0.514444444444, 0},
    {"Miles/second", 1.0, 1609.344, 0},
    {"Miles/minute", 1.0, 26.8224, 0},
    {"Miles/hour", 1.0, 0.44704, 0},
    {"Nautical Mile/hour", 1.0, 0.514444444444, 0},
};
// 15: Volume
const UnitDef kUnits15[] = {
    {"Cubic meters", 1.0, 1.0, 1},
    {"Cubic yards", 1.0, 0.764554857984, 0},
    {"Gallons (U.S.)", 1.0, 0.003785411784, 0},
    {"Gallons (Imp.)", 1.0, 0.00454609, 0},
    {"Liters", 1.0, 0.001, 1},
    {"Acre-feet", 1.0, 1233.48183755, 0},
    {"Barrels (U.S., Dry)", 1.0, 0.115627123584, 1},
    {"Barrels (U.S., Liquid)", 1.0, 0.119240471196, 1},
    {"Buckets (Imp. Dry)", 1.0, 0.01818436, 0},
    {"Bushels", 1.0, 0.03636872, 0},
    {"Bushels (Dry)", 1.0, 0.0352390701669, 0},
    {"Centiliters", 1.0, 1e-05, 1},
    {"Cord feet", 1.0, 0.453069545472, 0},
    {"Cords", 1.0, 3.62455636378, 0},
    {"Cubic centimeters", 1.0, 1e-06, 1},
    {"Cubic feet", 1.0, 0.028316846592, 0},
    {"Cubic Inches", 1.0, 1.6387064e-05, 0},
    {"Cups", 1.0, 0.0002365882365, 0},
    {"Deciliters", 1.0, 0.0001, 1},
    {"Dekaliters", 1.0, 0.01, 1},
    {"Drams (U.S. Fluid)", 1.0, 3.69669119531e-06, 0},
    {"Gills (Imp.)", 1.0, 0.0001420653125, 0},
    {"Gills (U.S.)", 1.0, 0.00011829411825, 0},
    {"Hectoliters", 1.0, 0.1, 1},
    {"Hogsheads (Imp.)", 1.0, 0.24548886, 0},
    {"Hogsheads (U.S.)", 1.0, 0.238480942392, 0},
    {"Kiloliters", 1.0, 1.0, 1},
    {"Microliters", 1.0, 1e-09, 1},
    {"Milliliters", 1.0, 1e-06, 1},
    {"Minims (Imp.)", 1.0, 5.91938802083e-08, 0},
    {"Minims (U.S.)", 1.0, 6.16115199219e-08, 0},
    {"Ounces (Fluid)", 1.0, 2.95735295625e-05, 0},
    {"Pecks (British)", 1.0, 0.00909218, 0},
    {"Pecks (U.S.)", 1.0, 0.00880976754172, 0},
    {"Pints", 1.0, 0.000473176473, 0},
    {"Pints (Dry)", 1.0, 0.000550610471358, 0},
    {"Pounds of water", 1.0, 0.00045359237, 0},
    {"Quarts", 1.0, 0.000946352946, 0},
    {"Quarts (Dry)", 1.0, 0.00110122094272, 0},
    {"Steres", 1.0, 1.0, 1},
    {"Tablespoons", 1.0, 1.47867647813e-05, 0},
    {"Teaspoons", 1.0, 4.92892159375e-06, 0},
};
// 16: Density
const UnitDef kUnits16[] = {
    {"Pounds/cu. ft.", 1.0, 16.018463374, 0},
    {"Pounds/cu. in.", 1.0, 27679.9047102, 0},
    {"Grams/cu. cm.", 1.0, 1000.0, 1},
    {"Grams/liter", 1.0, 1.0, 1},
    {"Kilograms/cu. meter", 1.0, 1.0, 1},
    {"Pounds/mil-foot", 1.0, 2936929105.96, 0},
};
// 21: Real Time Clock (RTC)
const UnitDef kUnits21[] = {
    {"YYYY", 1.0, 1.0, 0},
    {"YY", 1.0, 1.0, 0},
    {"MM (month)", 1.0, 1.0, 0},
    {"DD", 1.0, 1.0, 0},
    {"HH", 1.0, 1.0, 0},
    {"MM (minute)", 1.0, 1.0, 0},
    {"SS", 1.0, 1.0, 0},
    {"HHMMSS", 1.0, 1.0, 0},
    {"YYMMDD", 1.0, 1.0, 0},
    {"MMDDYY", 1.0, 1.0, 0},
    {"DDMMYY", 1.0, 1.0, 0},
    {"Day of Week", 1.0, 1.0, 0},
};
const UnitGroup kGroups[kGroupCount] = {
    {"Scalar", 0, nullptr},
    {"Acceleration", 5, kUnits1},
    {"Area", 15, kUnits2},
    {"Energy", 15, kUnits3},
    {"Illumination", 4, kUnits4},
    {"Length (Distance)", 38, kUnits5},
    {"Mass && Weight", 32, kUnits6},
    {"Concentration", 6, kUnits7},
    {"Power", 14, kUnits8},
    {"Pressure", 27, kUnits9},
    {"Rate of Flow", 24, kUnits10},
    {"Temperature", 4, kUnits11},
    {"Time", 9, kUnits12},
    {"Torque", 4, kUnits13},
    {"Velocity (Speed)", 17, kUnits14},
    {"Volume", 42, kUnits15},
    {"Density", 6, kUnits16},
    {"QDK", 0, nullptr},
    {"On/Off", 0, nullptr},
    {"<Do not use>", 0, nullptr},
    {"String", 0, nullptr},
    {"Real Time Clock (RTC)", 12, kUnits21},
};

const UnitGroup* Group(int group) { return (group >= 0 && group < kGroupCount) ? &kGroups[group] : nullptr; }

std::string Name(const char (&field)[64]) { return ombrel::FieldToText(field, 64); }

double Temperature(int fromUnit, int toUnit, double v)
{
    double c = v;
    switch (fromUnit) {
    case 1: c = (v - 32.0) * 0.5555555555555556; break;
    case 2: c = v - 273.18; break;
    case 3: c = ((v - 460.0) - 32.0) * 0.5555555555555556; break;
    default: break;   // Centigrade, and any other unit read as Centigrade
    }
    switch (toUnit) {
    case 0: return c;
    case 1: return c * 1.8 + 32.0;
    case 2: return c + 273.18;
    case 3: return c * 1.8 + 32.0 + 460.0;
    default: return v;   // no such unit: the value stays as it came
    }
}

}  // namespace

extern "C" {

void GetDUTDescriptions(OmbrelAddLine add, void* context)
{
    if (!add) return;
    for (const UnitGroup& g : kGroups) add(context, Name(g.name).c_str());
}

int GetUnitDescriptions(int group, OmbrelAddLine add, void* context)
{
    const UnitGroup* g = Group(group);
    if (!g) return 0;
    if (add)
        for (int i = 0; i < g->count; ++i) add(context, Name(g->units[i].name).c_str());
    return g->count;
}

int GetDUTDesc(int group, char* out, int outSize)
{
    const UnitGroup* g = Group(group);
    return ombrel::CopyOut(g ? Name(g->name) : std::string("unknown type"), out, outSize);
}

int GetUnitsDesc(uint16_t code, char* out, int outSize)
{
    const UnitGroup* g = Group(code & 0xFF);
    const int unit = code >> 8;
    if (!g || unit >= g->count) return ombrel::CopyOut(std::string("unknown units"), out, outSize);
    return ombrel::CopyOut(Name(g->units[unit].name), out, outSize);
}

double UnitConvert(int group, int fromUnit, int toUnit, float value)
{
    const double v = value;
    if (group == kTemperature) return Temperature(fromUnit, toUnit, v);
    if (group == kClock) return v;
    const UnitGroup* g = Group(group);
    // A unit that is not in the table has no multipliers: there is no answer to give.
    if (!g || fromUnit < 0 || toUnit < 0 || fromUnit >= g->count || toUnit >= g->count)
        return std::numeric_limits<double>::quiet_NaN();
    const UnitDef& from = g->units[fromUnit];
    const UnitDef& to = g->units[toUnit];
    return ((v * from.a) * from.b) / to.b / to.a;
}

}  // extern "C"
