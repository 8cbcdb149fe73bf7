// "ReportConfig.xml", the options of the per-run report.
#include "tests/fuzz/fuzz_support.h"

#include "tevrin/pages/analysis/run_report.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 256 * 1024) return 0;
    const QString path = fuzz::WriteFile(QStringLiteral("ReportConfig.xml"), data, size);
    ReportOptions options;
    LoadReportOptions(path, options);
    ReportContent content;
    content.labId = options.labId;
    content.sampleId = options.sampleId;
    content.sampleName = options.sampleName;
    content.clientName = options.clientName;
    ReportFileText(content);
    return 0;
}
