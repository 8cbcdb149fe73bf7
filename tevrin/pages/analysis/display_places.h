#pragma once
// The number of decimal places with which the analysis results are shown: "dispPlace.cfg" in
// the per-user data folder holds it as one decimal integer (0 to 4).
#include "tevrin/pages/display_places_file.h"

#include <QString>

// The display format for a number of places: 0 "0", 1 "0.0" ... 4 "0.0000"; "0.00" otherwise.
QString DisplayFormatFor(int places);
// A result value's text shown with a display format ("0", "0.0" ... "0.0000"; an empty format
// gives the general number text). A text that is not a number ("NAN" for a value the analyzer
// could not give, "INF") is shown as it came: never as a number it is not.
QString FormatResult(const QString& value, const QString& format);
