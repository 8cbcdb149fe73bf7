// The archive XML file as it is opened without the analyzer: read whole and, when it is an
// archive file, taken into the archive database and the log records.
#include "tests/fuzz/fuzz_support.h"

#include "tevrin/pages/analysis/archive_xml.h"
#include "tevrin/pages/analysis/log_db_manager.h"

#include <utility>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1024 * 1024) return 0;
    const QString path = fuzz::WriteFile(QStringLiteral("archive.xml"), data, size);
    ArchiveFile file;
    QString error;
    if (!ReadArchiveXml(path, file, &error)) {
        fuzz::Require(!error.isEmpty(), "a refused archive file says why");
        return 0;
    }
    LogConfigRecord logs[kLogCount] = {};
    LogDBManager* archive = LogDBManager::Instance();
    archive->Clear();
    ApplyArchiveFile(std::move(file), *archive, logs);
    for (const LogConfigRecord& log : logs) fuzz::Require(log.ParametersInLog <= 8, "ParametersInLog bound");
    for (int position = 0; position < LogDBManager::kLogs; ++position)
        for (int k = 0; k < archive->EntryCount() && k < 3; ++k)
            for (int index = 0; index < 8; ++index) archive->CellText(position, index, k);
    return 0;
}
