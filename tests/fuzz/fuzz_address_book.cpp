// The address book of TCP endpoints ("addrInfo.cfg"): loaded, and every entry written as its
// line and read back the same.
#include "tests/fuzz/fuzz_support.h"

#include "pollard/address_book.h"

#include <QDir>
#include <QFileInfo>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 64 * 1024) return 0;
    const QString path = fuzz::WriteFile(QStringLiteral("addrInfo.cfg"), data, size);
    const QString folder = QFileInfo(path).absolutePath();
    pollard::PortAddrMgr book(folder, folder);
    book.Load(path);
    for (int i = 0; i < book.Count(); ++i) {
        const pollard::AddrItem item = book.GetAt(i);
        pollard::PortAddrMgr again(folder, folder);
        const QString line = pollard::PortAddrMgr::FormatLine(item);
        const QByteArray bytes = line.toUtf8() + '\n';
        const QString linePath = fuzz::WriteFile(QStringLiteral("line.cfg"), reinterpret_cast<const uint8_t*>(bytes.constData()),
                                                 static_cast<size_t>(bytes.size()));
        again.Load(linePath);
        if (!line.contains(QLatin1Char('\r')) && !line.contains(QLatin1Char('\n')))
            fuzz::Require(again.Count() == 1 && again.GetAt(0) == item, "an entry reads back as it was written");
    }
    return 0;
}
