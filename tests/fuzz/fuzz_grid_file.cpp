// The column grid's own grid file, loaded into a grid.
#include "tests/fuzz/fuzz_support.h"

#include "tevrin/pages/widgets/adv_column_grid.h"

namespace {
QAdvColumnGrid* gGrid = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Init();
    gGrid = new QAdvColumnGrid();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 256 * 1024) return 0;
    const QString path = fuzz::WriteFile(QStringLiteral("grid.grd"), data, size);
    QString error;
    if (!gGrid->LoadFromFile(path, &error)) fuzz::Require(!error.isEmpty(), "a refused grid file says why");
    return 0;
}
