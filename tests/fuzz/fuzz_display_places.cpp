// "dispPlace.cfg", the number of decimal places of the analysis results.
#include "tests/fuzz/fuzz_support.h"

#include "platform/data_folder.h"
#include "tevrin/pages/analysis/display_places.h"

#include <QFile>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 4096) return 0;
    QFile file(platform::UserDataFile(QStringLiteral("dispPlace.cfg")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    file.close();
    const int places = ReadDisplayPlaces();
    fuzz::Require(places >= -1 && places <= 4, "places in bounds");
    fuzz::Require(!DisplayFormatFor(places).isEmpty(), "a display format");
    return 0;
}
