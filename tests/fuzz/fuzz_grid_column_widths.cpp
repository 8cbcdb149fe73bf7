// The column grid's widths as kept in the settings: the input is the ini file the grid reads
// them from (the Archive Viewer's key and section). A width is taken only when it is a number
// of pixels a column can have; every other column keeps the width it had.
#include "tests/fuzz/fuzz_support.h"

#include "tevrin/pages/widgets/adv_column_grid.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace {
constexpr int kColumns = 12;
constexpr int kStartWidth = 64;
QAdvColumnGrid* gGrid = nullptr;
QString gIni;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Init();
    gGrid = new QAdvColumnGrid();
    gGrid->SetColCount(kColumns);
    gGrid->SetColumnWidthsKey(QStringLiteral("SenR27"), QStringLiteral("ArchReader"));
    gIni = QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("SenR27")).fileName();
    QDir().mkpath(QFileInfo(gIni).absolutePath());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 16 * 1024) return 0;
    if (!fuzz::WriteSettingsFile(gIni, data, size)) return 0;
    for (int c = 0; c < kColumns; ++c) gGrid->setColumnWidth(c, kStartWidth);
    gGrid->LoadColumnWidths();
    for (int c = 0; c < kColumns; ++c) {
        const int w = gGrid->columnWidth(c);
        fuzz::Require(w > 0 && w < 5000, "a column width out of its bounds");
    }
    return 0;
}
