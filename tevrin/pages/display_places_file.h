#pragma once
// "dispPlace.cfg" in the per-user data folder: the number of decimal places (0 to 4) with
// which the analysis results are shown. The global settings page writes it; that page and the
// Analysis page read it through here, so that both take the same text for the same number.
#include <QString>

// The places the file holds: one decimal integer, 0 to 4, with white space around it at most.
// -1 when the file is missing, unreadable, larger than such a number can be, or holds anything
// else ("3.0", "3abc", "", "7").
int ReadDisplayPlaces();
// The places parsed from the file's text by the rule above.
int DisplayPlacesFromText(const QByteArray& text);
// Replaces the file whole with the number; false with the reason in `why` when it could not.
bool WriteDisplayPlaces(int places, QString* why);
