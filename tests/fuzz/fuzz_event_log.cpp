// The event-log memory as the unit sends it: the framed form the event-log command reads
// (first byte even) or the plain 9-byte records of the event-log window (first byte odd);
// every event that is read gets its texts.
#include "tests/fuzz/fuzz_support.h"

#include "tevrin/pages/analysis/audit_events.h"

#include <vector>

namespace {

double TokenToDate(uint32_t token) { return token / 86400.0; }

void Texts(const std::vector<AuditEvent>& events)
{
    for (const AuditEvent& e : events) {
        e.Event();
        e.Detail();
        e.Value();
        AuditAlarmText(e.DetailCode);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > 64 * 1024) return 0;
    const uint8_t* memory = data + 1;
    const size_t length = size - 1;
    if ((data[0] & 1) == 0) {
        AuditFrameParser parser(TokenToDate);
        parser.Parse(memory, length);
        fuzz::Require(parser.Events().size() <= length / kAuditFramedRecordBytes, "more events than records fit");
        parser.SortByTime();
        for (size_t i = 1; i < parser.Events().size(); ++i)
            fuzz::Require(parser.Events()[i - 1].Token <= parser.Events()[i].Token, "events in token order");
        Texts(parser.Events());
        const double used = AuditBytesUsed(parser.Events().size(), parser.EscapeCount());
        ComputeAuditUsage(used, 65536, 200);
    } else {
        const PlainAuditRecords records = ReadPlainAuditRecords(memory, length, TokenToDate);
        fuzz::Require(records.walked == static_cast<int>(length / kAuditPlainRecordBytes), "every whole record walked");
        fuzz::Require(records.events.size() <= static_cast<size_t>(records.walked), "events within records");
        Texts(records.events);
    }
    return 0;
}
