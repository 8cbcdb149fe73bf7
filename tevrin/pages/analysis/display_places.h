#pragma once
// The number of decimal places with which the analysis results are shown: "dispPlace.cfg" in
// the per-user data folder holds it as one decimal integer (0 to 4).
#include <QString>

// The places stored in the file; -1 when the file is missing, unreadable or holds a value
// outside 0..4.
int ReadDisplayPlaces();
// The display format for a number of places: 0 "0", 1 "0.0" ... 4 "0.0000"; "0.00" otherwise.
QString DisplayFormatFor(int places);
