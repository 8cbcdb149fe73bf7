#pragma once
// A look into a written workbook (.xlsx, a zip package) before it takes its place: the sheet's
// part is unpacked as a stream, never whole in memory, and its rows are counted.
#include <QString>

namespace workbook_check {

// True when the part `partName` ("xl/worksheets/sheet1.xml") of the workbook at `path` holds
// exactly `rows` row elements: it was found, unpacked to the size and checksum the package gives
// for it, ends as a sheet ends and counts that many rows. False with the reason in `why` otherwise.
bool SheetHoldsRows(const QString& path, const char* partName, long long rows, QString& why);

}  // namespace workbook_check
