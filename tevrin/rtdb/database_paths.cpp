// The database's many-point paths: the full and page reads with their shared block loop, the
// block-reply decoding, the request counters, the writes of changed and of all configuration
// points, the stream-count adjustment, and the write trace sections.
#include "tevrin/rtdb/database.h"

#include "platform/data_folder.h"
#include "platform/numtext.h"
#include "pollard/pollard_api.h"
#include "tevrin/rtdb/comm_db_point_facade.h"
#include "tevrin/rtdb/database_point.h"
#include "tevrin/rtdb/modbus_list.h"
#include "tevrin/rtdb/rosetta.h"
#include "tevrin/rtdb/write_trace.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint8_t kWriteFlagsMask = 0x1F;   // a configuration group: the point may be written
constexpr uint8_t kConfigFileFlag = 0x04;
constexpr uint8_t kNotUsedGroup = 0xB0;
constexpr TDbId kFirstCalibrationUsed = 1614;
constexpr TDbId kLastCalibrationUsed = 1629;
constexpr int kCalibrationUsedPerStream = 4;

RosettaInterface& Catalogue() { return *RosettaManager::Instance()->Catalogue(); }

// Stream 2, 3 and 4 settings and the unused points are not part of a full read.
bool IsFullReadGroup(uint8_t group)
{
    const auto in = [group](uint8_t from, uint8_t to) { return group >= from && group <= to; };
    return !(in(0x30, 0x36) || in(0x40, 0x46) || in(0x50, 0x56) || group == kNotUsedGroup);
}

bool IsFullReadPoint(const DatabasePoint& p)
{
    return p.GetFlags() != 0 && IsFullReadGroup(Catalogue().GroupCode(p.GetRow()));
}

bool MayBeWritten(DatabasePoint& p) { return (p.GetFlags() & kWriteFlagsMask) != 0; }

}  // namespace

// Collects the trace lines of one operation and appends them to the file when the outermost
// operation ends, also when it ends with a thrown failure: the file gets the whole trace in
// one write, and a file that cannot be written is reported once.
class TraceScope {
public:
    explicit TraceScope(DataBase& db) : db_(db) { ++db_.traceDepth_; }
    ~TraceScope()
    {
        if (--db_.traceDepth_ > 0) return;
        std::vector<std::string> lines;
        lines.swap(db_.pendingTrace_);
        try {
            platform::MakeUserDataFolderCurrent();
            write_trace::AppendLines(lines, write_trace::TraceFilePath());
        } catch (...) {
            // The trace never stops a write to the analyzer.
        }
    }
    TraceScope(const TraceScope&) = delete;
    TraceScope& operator=(const TraceScope&) = delete;

private:
    DataBase& db_;
};

void DataBase::TraceLines(const std::vector<std::string>& lines)
{
    pendingTrace_.insert(pendingTrace_.end(), lines.begin(), lines.end());
}

// --- reads --------------------------------------------------------------------------------------

bool DataBase::IsBatchable(const DatabasePoint& point)
{
    // Text points and points without a packed width (baud rates) are read one by one; a
    // block reply carries no bytes for them.
    const std::string type = point.GetTypeName();
    if (type == "text" || type == "Acceleration ") return false;
    return SizeOfType(Catalogue(), point.GetRow()) > 0;
}

void DataBase::SendBlock(BlockReadRequest& request)
{
    const BlockReadReply reply = CommDBPointFacade::Instance()->ReadBlock(request);
    // The value bytes that came: the reply message less its length, type and count bytes.
    // The unit sends the whole 81-byte reply (its values packed first, the rest unused) or
    // only the bytes its values take; either form holds the values of the rows asked for.
    const int present = CommDBPointFacade::Instance()->LastReplyLength() - 3;
    constexpr int kReplyValueBytes = static_cast<int>(sizeof(BlockReadReply::values));
    // A block reply carries no sequence number: one that does not count the rows asked for,
    // or whose values fall short of their widths, or that is longer than a block reply can
    // be, answers some other request or is spoilt, and none of its bytes becomes a value.
    int widths = 0;
    for (int k = 0; k < request.count && k < kBlockRows; ++k) widths += SizeOfType(Catalogue(), request.rows[k]);
    if (reply.count != request.count || present < widths || present > kReplyValueBytes) {
        request = BlockReadRequest{};
        throw static_cast<int>(pollard_api::crInvalidResponse);
    }
    ApplyBlockReply(request, reply.count, reply.values, present, true);
    request = BlockReadRequest{};
}

template <typename Selected>
void DataBase::ReadSelected(Selected selected, bool markSingleValid)
{
    BlockReadRequest request{};
    const int n = static_cast<int>(points_.size());
    for (int i = 0; i < n; ++i) {
        DatabasePoint* p = points_[static_cast<size_t>(i)].get();
        if (p && selected(*p)) {
            if (IsBatchable(*p)) {
                request.rows[request.count++] = p->GetRow();
                if (request.count == kBlockRows || i == n - 1) SendBlock(request);
            } else {
                p->Read();
                if (markSingleValid) p->SetValid(1);
            }
        }
        // The last row always closes the loop with one more block request (a count of 0 when
        // nothing is pending).
        if (i == n - 1) SendBlock(request);
    }
}

int DataBase::ReadAll()
{
    ReadSelected([](DatabasePoint& p) { return IsFullReadPoint(p); }, false);
    modbusList_->LoadFromUnit();
    sequencer_->ReadFromUnit();
    timers_->ReadFromUnit();
    return 0;
}

void DataBase::ExpressRead(bool pollOnly)
{
    const int page = expressScan_.CurrentPage();
    if (page == 16) timers_->ReadFromUnit();
    // The page's list as a lookup table: the same answers as ExpressScan::Contains, without a
    // search of the list for every catalogue row.
    std::vector<bool> onPage(0x10000, false);
    const int count = pollOnly ? expressScan_.PollCount() : expressScan_.Count();
    for (int i = 0; i < count; ++i) {
        const int id = pollOnly ? expressScan_.PollAt(i) : expressScan_.At(i);
        if (id >= 0 && id <= 0xFFFF) onPage[static_cast<size_t>(id)] = true;
    }
    ReadSelected([&onPage](DatabasePoint& p) { return onPage[p.GetDbId()]; }, true);
    if (page == 12) sequencer_->ReadFromUnit();
    if (page == 7) modbusList_->LoadFromUnit();
}

void DataBase::ApplyBlockReply(const BlockReadRequest& request, int count, const uint8_t* values, int valuesLength,
                               bool setValid)
{
    const int entries = std::min({count, static_cast<int>(request.count), kBlockRows});
    uint8_t buffer[4] = {};
    int offset = 0;
    for (int k = 0; k < entries; ++k) {
        const uint16_t row = request.rows[k];
        const int width = SizeOfType(Catalogue(), row);
        if (offset + width > valuesLength) break;   // the reply ends before this value
        // A row without a packed form (text, baud rate) has no bytes in the reply: it gets no
        // value here, never the previous entry's.
        if (width == 0) continue;
        std::memcpy(buffer, values + offset, static_cast<size_t>(width));
        offset += width;

        DatabasePoint* p = PointByIndex(row);
        if (!p) continue;
        uint32_t raw;
        std::memcpy(&raw, buffer, sizeof raw);
        const std::string type = p->GetTypeName();
        std::string text;
        if (type == "float") {
            float f;
            std::memcpy(&f, buffer, sizeof f);
            text = numtext::FloatToStr(f);
        } else if (type == "unsigned short") {
            text = numtext::FormatU(raw & 0xFFFFu);
        } else if (type == "unsigned long") {
            text = numtext::FormatD(static_cast<int32_t>(raw));
        } else if (type == "unsigned char") {
            text = numtext::FormatU(raw & 0xFFu);
        } else if (type == "boolean") {
            text = buffer[0] != 0 ? "True" : "False";
        } else {
            continue;   // no packed form
        }
        p->SetInitialText(text);
        if (setValid) p->SetValid(1);
        try {
            p->Notify(p->GetText().c_str());
        } catch (...) {
            // An observer's failure does not stop the reply.
        }
    }
}

// --- request counters ---------------------------------------------------------------------------

template <typename Selected>
int DataBase::CountRequests(Selected selected) const
{
    int singles = 0;
    int batched = 0;
    selected([&](const DatabasePoint& p) { (IsBatchable(p) ? batched : singles) += 1; });
    return singles + (batched + kBlockRows - 1) / kBlockRows;
}

int DataBase::CountReadAllRequests()
{
    return CountRequests([this](auto&& count) {
        for (auto& p : points_)
            if (p && IsFullReadPoint(*p)) count(*p);
    });
}

int DataBase::CountExpressReadRequests()
{
    return CountRequests([this](auto&& count) {
        for (int i = 0; i < expressScan_.Count(); ++i)
            if (DatabasePoint* p = PointByDbId(static_cast<TDbId>(expressScan_.At(i)))) count(*p);
    });
}

int DataBase::CountPollRequests()
{
    return CountRequests([this](auto&& count) {
        for (int i = 0; i < expressScan_.PollCount(); ++i)
            if (DatabasePoint* p = PointByDbId(static_cast<TDbId>(expressScan_.PollAt(i)))) count(*p);
    });
}

// --- writes -------------------------------------------------------------------------------------

int DataBase::StreamSetting() { return numtext::AtoL(GetPointText(kStreamsDbId)); }

int DataBase::WritePoint(TDbId id)
{
    TraceScope trace(*this);
    TraceLines({write_trace::Separator()});
    LogTimerConfiguration(false);

    DatabasePoint* p = PointByDbId(id);
    if (!p) return kErrUnknownWritePoint;
    if (!MayBeWritten(*p) || !p->IsWritable()) return kErrPointNotWritten;
    if (!p->IsValid()) return kErrPointNotRead;
    if (p->Write() != 0) return kErrPointNotWritten;
    if (id != kClockDbId) writeLog_.Add(id);
    return 0;
}

int DataBase::WriteChanges()
{
    TraceScope trace(*this);
    const int page = expressScan_.CurrentPage();

    bool timersClipped = false;
    if (page == 16) timers_->ClipToStreamCount(StreamSetting());
    if (page == 8 && StreamSetting() == 0) {
        timers_->ClipToStreamCount(0);
        timersClipped = true;
    }

    DatabasePoint* streams = PointByDbId(kStreamsDbId);
    streamsChanged_ = streams && streams->IsChanged() ? 1 : 0;

    if (page == 3 || streamsChanged_) ApplyStreamCount(StreamSetting());

    if (page == 7) {
        LogModbusList();
        modbusList_->WriteToUnit();
    }

    if (page == 12 || streamsChanged_) {
        sequencer_->FilterByStreamCount(StreamSetting());
        sequencer_->WriteToUnit();
        LogSequencerConfiguration();
        sequencer_->ReadFromUnit();
    }

    TraceLines({write_trace::Separator()});
    LogTimerConfiguration(false);

    // The change list gets what was sent: the points in row order, then the timer block.
    bool timersWritten = false;
    const auto listTimers = [&] {
        if (timersWritten) writeLog_.Add(WriteLogRecordsManager::kTimerBlockMarkerId);
    };
    int result = 0;
    try {
        if ((page == 16 || timersClipped) && timers_->IsChanged()) timersWritten = timers_->WriteToUnit();

        for (auto& owned : points_) {
            DatabasePoint* p = owned.get();
            if (!p || !p->IsValid() || !MayBeWritten(*p) || !p->IsChanged() || !p->IsWritable()) continue;
            if (p->Write() != 0) {
                result = kErrPointNotWritten;
                continue;
            }
            if (p->GetDbId() != kClockDbId) writeLog_.Add(p->GetDbId());
        }
    } catch (...) {
        listTimers();
        throw;
    }
    listTimers();
    return result;
}

int DataBase::WriteConfigPoints()
{
    TraceScope trace(*this);
    TraceLines({write_trace::Separator()});
    LogTimerConfiguration(true);

    int result = 0;
    for (auto& owned : points_) {
        DatabasePoint* p = owned.get();
        if (!p || !MayBeWritten(*p) || !(p->GetFlags() & kConfigFileFlag) || !p->IsWritable()) continue;
        if (p->Write() != 0) result = kErrPointNotWritten;
    }
    LogModbusList();
    modbusList_->WriteToUnit();
    timers_->WriteToUnit();
    return result;
}

void DataBase::ApplyStreamCount(int streams)
{
    if (streams < 0 || streams > 2) return;   // 3: every stream is configured
    for (auto& owned : points_) {
        DatabasePoint* p = owned.get();
        if (!p || !p->IsValid() || !MayBeWritten(*p)) continue;
        const TDbId id = p->GetDbId();
        if (id < kFirstCalibrationUsed || id > kLastCalibrationUsed) continue;
        const int stream = (id - kFirstCalibrationUsed) / kCalibrationUsedPerStream;   // 0..3
        if (stream > streams) continue;
        if (numtext::AtoL(p->GetText()) > streams) p->SetText(std::to_string(streams));
    }
}

// --- the write trace ----------------------------------------------------------------------------

void DataBase::LogTimerConfiguration(bool fullWrite)
{
    TraceScope trace(*this);
    std::vector<std::string> lines;
    try {
        for (auto& owned : points_) {
            DatabasePoint* p = owned.get();
            if (!p || !MayBeWritten(*p) || !p->IsWritable()) continue;
            const bool due = fullWrite ? (p->GetFlags() & kConfigFileFlag) != 0 : p->IsValid() && p->IsChanged();
            if (!due) continue;
            std::string value = p->GetText();
            if (p->GetDbId() == kClockDbId)
                value = write_trace::TokenDateText(static_cast<uint32_t>(numtext::AtoL(value)));
            lines.push_back(write_trace::Field(std::to_string(p->GetDbId()), 10) + write_trace::Field(p->GetName(), 60) +
                            write_trace::Field(value, 35) + write_trace::TimeStamp());
        }
        const int page = expressScan_.CurrentPage();
        if (fullWrite || (timers_->IsChanged() && (page == 16 || page == 8))) {
            const std::vector<std::string> timers = write_trace::TimerSection(timers_->Block());
            lines.insert(lines.end(), timers.begin(), timers.end());
        }
    } catch (...) {
        // A point that cannot be traced ends the trace; the write goes on.
    }
    TraceLines(lines);
}

void DataBase::LogSequencerConfiguration()
{
    TraceScope trace(*this);
    TraceLines(write_trace::SequencerSection(sequencer_->Block()));
}

void DataBase::LogModbusList()
{
    TraceScope trace(*this);
    ModbusHeader header{};
    modbusList_->CopyHeader(header);
    ModmapImage image{};
    modbusList_->CopyImage(image);
    TraceLines(write_trace::ModbusSection(header, reinterpret_cast<const uint8_t*>(image.entries)));
}

void DataBase::LogLogConfiguration()
{
    TraceScope trace(*this);
    TraceLines(write_trace::LogConfigSection(logRecords_));
}
