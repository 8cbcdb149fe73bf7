// The configuration file (*.cfg) as it is opened: the input is the whole document, checked and,
// when sound, applied to the database.
#include "tests/fuzz/fuzz_support.h"

#include "tevrin/rtdb/database.h"
#include "tevrin/shell/config_file.h"

#include <QByteArray>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Init();
    DataBase::Instance();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 4 * 1024 * 1024) return 0;
    const QByteArray document(reinterpret_cast<const char*>(data), static_cast<int>(size));
    const config_file::ReadResult r = config_file::Apply(*DataBase::Instance(), document);
    fuzz::Require(r.ok || !r.error.isEmpty(), "a refused file says why");
    return 0;
}
