// The many-point paths of the database end to end against the simulated analyzer: the full
// read and the page reads with their block requests, the block-reply decoding, the request
// counters, the writes of changed points and the stream-count adjustment.
#include "tests/rtdb/database_fixture.h"

#include "tevrin/rtdb/comm_db_point_facade.h"
#include "tevrin/rtdb/sequencer.h"
#include "tevrin/rtdb/timer_x_manager.h"

#include <algorithm>

using dbtest::BlockRows;
using dbtest::DatabaseTest;
using dbtest::RequestAddress;
using dbtest::Width;

namespace {

using rosetta::kCatalogueRowCount;
using rosetta::kCatalogueRows;

// The rows a full read asks for, by the catalogue alone: configuration points outside the
// stream 2-4 groups and the unused group.
bool FullReadRow(int row)
{
    const rosetta::CatalogueRow& r = kCatalogueRows[row];
    const int g = r.group;
    const bool otherStream = (g >= 0x30 && g <= 0x36) || (g >= 0x40 && g <= 0x46) || (g >= 0x50 && g <= 0x56);
    return r.flags != 0 && !otherStream && g != 0xB0;
}

// One request as the test expects it: a single read of a row, or a block of rows.
struct Expected {
    int type;
    std::vector<int> rows;
    bool operator==(const Expected& o) const { return type == o.type && rows == o.rows; }
};

std::ostream& operator<<(std::ostream& os, const Expected& e)
{
    os << "{" << e.type << ":";
    for (int r : e.rows) os << " " << r;
    return os << "}";
}

// The point requests (types 1 and 50) of a read over the selected rows: rows without a packed
// width one by one, the others in blocks of 20, and the closing block request.
std::vector<Expected> ExpectedReads(const std::vector<int>& selected)
{
    std::vector<Expected> out;
    std::vector<int> block;
    for (int row : selected) {
        if (Width(row) == 0) {
            out.push_back({1, {row}});
            continue;
        }
        block.push_back(row);
        if (block.size() == 20 || row == kCatalogueRowCount - 1) {
            out.push_back({50, block});
            block.clear();
        }
    }
    out.push_back({50, block});
    return out;
}

std::vector<Expected> ActualReads(const std::vector<QByteArray>& requests)
{
    std::vector<Expected> out;
    for (const QByteArray& r : requests) {
        const int type = static_cast<uint8_t>(r.at(1));
        if (type == 1) out.push_back({1, {RequestAddress(r)}});
        if (type == 50) out.push_back({50, BlockRows(r)});
    }
    return out;
}

std::vector<int> Types(const std::vector<QByteArray>& requests)
{
    std::vector<int> out;
    for (const QByteArray& r : requests) out.push_back(static_cast<uint8_t>(r.at(1)));
    return out;
}

class DatabasePathsTest : public DatabaseTest {};

// --- the full read -------------------------------------------------------------------------------------

TEST_F(DatabasePathsTest, ReadAllSendsTextAndBaudPointsSinglyTheRestInBlocksOfTwentyAndAClosingBlock)
{
    db->Connect();
    unit.ClearLog();

    db->ReadAll();

    std::vector<int> selected;
    for (int row = 0; row < kCatalogueRowCount; ++row)
        if (FullReadRow(row)) selected.push_back(row);
    const std::vector<Expected> expected = ExpectedReads(selected);
    EXPECT_EQ(ActualReads(unit.Requests()), expected);

    // The built-in catalogue: 51 single reads (47 text, 4 baud rate) and 606 batched points in
    // 31 blocks. The last row is not part of a full read, so the six rows still pending go
    // out with the closing request at the last row.
    const int singles = static_cast<int>(std::count_if(expected.begin(), expected.end(),
                                                       [](const Expected& e) { return e.type == 1; }));
    EXPECT_EQ(singles, 51);
    EXPECT_EQ(unit.RequestCount(50), 31);
    EXPECT_EQ(expected.back().rows.size(), 6u);
    EXPECT_EQ(db->CountReadAllRequests(), 51 + 31);

    // Then the Modbus map, the sequencer and the timers.
    const std::vector<int> types = Types(unit.Requests());
    const auto firstBlockEnd = std::find(types.begin(), types.end(), 18);
    ASSERT_NE(firstBlockEnd, types.end());
    EXPECT_EQ(std::vector<int>(firstBlockEnd, types.end()), (std::vector<int>{18, 60, 64}));
}

TEST_F(DatabasePathsTest, BaudRatePointsAreReadSinglyAndGetTheirOwnValues)
{
    std::vector<int> baudRows;
    for (int row = 0; row < kCatalogueRowCount; ++row)
        if (kCatalogueRows[row].typeCode == 15 && FullReadRow(row)) baudRows.push_back(row);
    ASSERT_FALSE(baudRows.empty());
    for (size_t i = 0; i < baudRows.size(); ++i) unit.SetValue(sim::Row{baudRows[i]}, 3 + static_cast<int>(i));

    db->Connect();

    for (size_t i = 0; i < baudRows.size(); ++i)
        EXPECT_EQ(db->PointByIndex(baudRows[i])->GetText(), std::to_string(3 + i)) << baudRows[i];
    for (const QByteArray& r : unit.RequestsOfType(50))
        for (int row : BlockRows(r))
            EXPECT_NE(kCatalogueRows[row].typeCode, 15) << "baud-rate row " << row << " in a block";
}

TEST_F(DatabasePathsTest, ReadAllAppliesEveryTypeOfValueAndMarksBatchedPointsValid)
{
    struct Case {
        int dbId;
        const char* unitText;
        const char* expected;
    };
    // float, u16, u8, boolean, bit sets of 16 and 32 bits (the latter shown signed)
    const Case cases[] = {
        {284, "12.5", "12.5"},   {10, "65535", "65535"}, {20, "2", "2"},
        {4, "True", "True"},     {388, "4294967295", "4294967295"},
    };
    for (const Case& c : cases) unit.SetValueText(sim::DbId{c.dbId}, c.unitText);
    unit.SetValueText(sim::DbId{1}, "Site");

    db->Connect();

    for (const Case& c : cases) {
        EXPECT_EQ(Text(static_cast<TDbId>(c.dbId)), c.expected) << c.dbId;
        EXPECT_TRUE(P(static_cast<TDbId>(c.dbId))->IsValid()) << c.dbId;
        EXPECT_FALSE(P(static_cast<TDbId>(c.dbId))->IsChanged()) << c.dbId;
    }
    // A point read singly keeps its valid flag as it was.
    EXPECT_EQ(Text(1), "Site");
    EXPECT_FALSE(P(1)->IsValid());
}

TEST_F(DatabasePathsTest, AFullReadTakesEveryBlockValueFromTheWholeAndFromThePackedReply)
{
    // Every point a full read takes from block replies, each with a value of its own.
    std::vector<int> rows;
    for (int row = 0; row < kCatalogueRowCount; ++row)
        if (FullReadRow(row) && Width(row) > 0 && db->PointByIndex(row)) rows.push_back(row);
    ASSERT_GT(rows.size(), 200u);
    const auto plant = [&](int shift) {
        for (int row : rows) {
            const std::string type = db->PointByIndex(row)->GetTypeName();
            const int n = row + shift;
            if (type == "float") unit.SetValue(sim::Row{row}, n + 0.25);
            else if (type == "boolean") unit.SetValue(sim::Row{row}, n % 2);
            else if (type == "unsigned char") unit.SetValue(sim::Row{row}, n % 251);
            else if (type == "unsigned long") unit.SetValue(sim::Row{row}, 70000 + n);
            else unit.SetValue(sim::Row{row}, n);
        }
    };
    const struct {
        const char* name;
        bool packed;
        int shift;
    } forms[] = {{"whole 81-byte replies", false, 1}, {"packed replies", true, 2}, {"whole again", false, 3}};
    for (const auto& form : forms) {
        SCOPED_TRACE(form.name);
        plant(form.shift);
        unit.SetPackedBlockReplies(form.packed);
        db->ClearValid();
        db->ReadAll();
        int wrong = 0;
        for (int row : rows) {
            DatabasePoint* p = db->PointByIndex(row);
            const std::string expected = unit.ValueText(sim::Row{row}).toStdString();
            if (p->GetText() != expected || !p->IsValid()) {
                if (++wrong <= 5) ADD_FAILURE() << p->GetName() << ": " << p->GetText() << " for " << expected;
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}

// --- page reads ------------------------------------------------------------------------------------------

struct PageCase {
    const char* name;
    int page;
    uint8_t pollFlag;
    bool pollOnly;
    std::vector<int> points;    // the page's point list
    std::vector<int> polls;     // its poll list
    std::vector<int> readIds;   // the points read, in catalogue order
    int firstType;              // the first request
    int lastType;               // the last request
};

class ExpressReadPages : public DatabaseTest, public ::testing::WithParamInterface<PageCase> {};

TEST_P(ExpressReadPages, ReadsThePagesPointsAndTheBlockItShows)
{
    const PageCase& c = GetParam();
    db->Connect();
    unit.ClearLog();
    ExpressScan& scan = db->AsExpressScan();
    scan.Clear();
    for (int id : c.points) scan.Add(id);
    for (int id : c.polls) scan.AddPoll(id);
    scan.SetPage(c.page, c.pollFlag, 1);
    const int counted = c.pollOnly ? db->CountPollRequests() : db->CountExpressReadRequests();

    db->ExpressRead(c.pollOnly);

    std::vector<int> rows;
    for (int id : c.readIds) rows.push_back(sim::AnalyzerCore::RowOfDbId(id));
    std::sort(rows.begin(), rows.end());
    const std::vector<Expected> expected = ExpectedReads(rows);
    EXPECT_EQ(ActualReads(unit.Requests()), expected);
    // The counter leaves out a closing block request that carries no rows.
    const int empty = expected.back().rows.empty() ? 1 : 0;
    EXPECT_EQ(counted, static_cast<int>(expected.size()) - empty);

    const std::vector<QByteArray> requests = unit.Requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(static_cast<uint8_t>(requests.front().at(1)), c.firstType);
    EXPECT_EQ(static_cast<uint8_t>(requests.back().at(1)), c.lastType);
    for (int id : c.readIds) EXPECT_TRUE(P(static_cast<TDbId>(id))->IsValid()) << id;
}

// Stream 2 points are not read at logon, so a page read is what makes them valid.
INSTANTIATE_TEST_SUITE_P(
    Pages, ExpressReadPages,
    ::testing::Values(
        PageCase{"Timers", 16, 0, false, {138, 20}, {}, {20, 138}, 64, 50},
        PageCase{"Sequencer", 12, 0, false, {20, 2, 139}, {}, {2, 20, 139}, 1, 60},
        PageCase{"ModbusPolled", 7, 1, true, {20, 138}, {}, {}, 50, 18},
        PageCase{"ModbusOnce", 7, 1, false, {20, 138}, {}, {20, 138}, 50, 18},
        PageCase{"AnalogInputsPolled", 14, 1, true, {20, 138, 139}, {139, 139}, {139}, 50, 50},
        PageCase{"AnalogInputsOnce", 14, 1, false, {20, 138, 139}, {139}, {20, 138, 139}, 50, 50},
        PageCase{"PlainPagePolledReadsItsPointList", 2, 0, true, {138, 2}, {}, {2, 138}, 1, 50}),
    [](const ::testing::TestParamInfo<PageCase>& info) { return std::string(info.param.name); });

TEST_F(DatabasePathsTest, APageIsReadWrittenAndReadBackWithWholeAndWithPackedBlockReplies)
{
    // A page of a float, a 16-bit bit set and a stream 2 point (not read at logon).
    db->Connect();
    ExpressScan& scan = db->AsExpressScan();
    scan.Clear();
    for (int id : {10, 12, 138}) scan.Add(id);
    scan.SetPage(2, 0, 1);
    const struct {
        const char* name;
        bool packed;
        const char* fromUnit;
        const char* edited;
    } forms[] = {{"whole 81-byte replies", false, "6.5", "7.75"}, {"packed replies", true, "-1.5", "0.125"}};
    for (const auto& form : forms) {
        SCOPED_TRACE(form.name);
        unit.SetPackedBlockReplies(form.packed);
        unit.SetValueText(sim::DbId{12}, form.fromUnit);
        unit.SetValueText(sim::DbId{10}, form.packed ? "258" : "513");
        db->ClearValid();
        db->ExpressRead(false);
        EXPECT_EQ(Text(12), form.fromUnit);
        EXPECT_EQ(Text(10), form.packed ? "258" : "513");
        EXPECT_TRUE(P(138)->IsValid());

        db->SetPointText(12, form.edited);
        EXPECT_EQ(db->WriteChanges(), 0);
        EXPECT_EQ(unit.ValueText(sim::DbId{12}).toStdString(), form.edited);
        unit.SetValueText(sim::DbId{10}, "9");
        db->ExpressRead(false);
        EXPECT_EQ(Text(12), form.edited);
        EXPECT_EQ(Text(10), "9");
        EXPECT_FALSE(P(12)->IsChanged());
    }
}

TEST_F(DatabasePathsTest, ExpressReadCountsBlocksOfTwentyOnALargePage)
{
    db->Connect();
    ExpressScan& scan = db->AsExpressScan();
    scan.Clear();
    std::vector<int> ids;
    // 45 batched stream 2 points (none read at logon), the last catalogue row among them.
    for (int row = kCatalogueRowCount - 1; row >= 0 && ids.size() < 45; --row)
        if (Width(row) > 0) ids.push_back(kCatalogueRows[row].dbId & 0xFFFF);
    for (int id : ids) scan.Add(id);
    scan.SetPage(5, 0, 1);
    unit.ClearLog();

    EXPECT_EQ(db->CountExpressReadRequests(), 3);
    db->ExpressRead(false);

    const std::vector<QByteArray> blocks = unit.RequestsOfType(50);
    ASSERT_EQ(blocks.size(), 4u);
    EXPECT_EQ(BlockRows(blocks[0]).size(), 20u);
    EXPECT_EQ(BlockRows(blocks[1]).size(), 20u);
    EXPECT_EQ(BlockRows(blocks[2]).size(), 5u);
    EXPECT_EQ(BlockRows(blocks[3]).size(), 0u);
    EXPECT_EQ(BlockRows(blocks[2]).back(), kCatalogueRowCount - 1);
}

// --- block replies ---------------------------------------------------------------------------------------

BlockReadRequest Request(const std::vector<int>& rows)
{
    BlockReadRequest r{};
    for (int row : rows) r.rows[r.count++] = static_cast<uint16_t>(row);
    return r;
}

TEST_F(DatabasePathsTest, ApplyBlockReplyConsumesEachValueInItsOwnWidth)
{
    // Purge Time (u16), Streams (u8), Bypass Timeout (float): 2 + 1 + 4 bytes.
    const std::vector<int> rows = {RowOf(10), RowOf(20), RowOf(284)};
    ASSERT_EQ(Width(rows[0]) + Width(rows[1]) + Width(rows[2]), 7);
    uint8_t values[80] = {0x34, 0x12, 0x02};
    const float f = 0.1f;
    std::memcpy(values + 3, &f, 4);

    db->ApplyBlockReply(Request(rows), 3, values, 7, false);

    EXPECT_EQ(Text(10), "4660");
    EXPECT_EQ(Text(20), "2");
    EXPECT_EQ(Text(284), "0.1");   // the point keeps a float; the reply text had 15 digits
    EXPECT_FALSE(P(10)->IsValid());   // setValid false
    EXPECT_FALSE(P(10)->IsChanged());
}

TEST_F(DatabasePathsTest, ARowWithoutAPackedFormInABlockReplyTakesNoValue)
{
    int baudRow = -1;
    for (int row = 0; row < kCatalogueRowCount && baudRow < 0; ++row)
        if (kCatalogueRows[row].typeCode == 15) baudRow = row;
    ASSERT_GE(baudRow, 0);
    DatabasePoint* baud = db->PointByIndex(baudRow);
    baud->SetInitialText("7");
    DatabasePoint* unitSite = P(1);
    unitSite->SetInitialText("North");

    // Purge Time, then the baud rate and the text point with no bytes of their own.
    const uint8_t values[] = {0x34, 0x12};
    db->ApplyBlockReply(Request({RowOf(10), baudRow, RowOf(1)}), 3, values, 2, true);

    EXPECT_EQ(Text(10), "4660");
    EXPECT_EQ(baud->GetText(), "7");
    EXPECT_FALSE(baud->IsValid());
    EXPECT_EQ(unitSite->GetText(), "North");
    EXPECT_FALSE(unitSite->IsValid());
}

TEST_F(DatabasePathsTest, ApplyBlockReplyTextsByType)
{
    struct Case {
        int dbId;
        std::vector<uint8_t> bytes;
        const char* text;
    };
    const Case cases[] = {
        {388, {0xFF, 0xFF, 0xFF, 0xFF}, "4294967295"},   // "unsigned long": all bits set ...
        {4, {0x05}, "True"},                             // boolean: any non-zero byte
        {4, {0x00}, "False"},
        {10, {0xFF, 0xFF}, "65535"},
    };
    for (const Case& c : cases) {
        db->ApplyBlockReply(Request({RowOf(c.dbId)}), 1, c.bytes.data(), static_cast<int>(c.bytes.size()), true);
        EXPECT_EQ(Text(static_cast<TDbId>(c.dbId)), c.text) << c.dbId;
        EXPECT_TRUE(P(static_cast<TDbId>(c.dbId))->IsValid());
    }
}

TEST_F(DatabasePathsTest, AFloatTheAnalyzerMarksInvalidKeepsItsMarkAndIsNotAChange)
{
    // Black Tape Detect Volts (block read) and the bypass time-out (read singly afterwards).
    const uint32_t nanBits = 0x7FC00000u;
    const uint32_t infBits = 0xFF800000u;
    unit.SetRaw(sim::DbId{12}, QByteArray(reinterpret_cast<const char*>(&nanBits), 4));
    unit.SetRaw(sim::DbId{284}, QByteArray(reinterpret_cast<const char*>(&infBits), 4));
    db->Connect();
    EXPECT_EQ(Text(12), "nan");
    EXPECT_EQ(Text(284), "-inf");
    unit.SetRaw(sim::DbId{284}, QByteArray(reinterpret_cast<const char*>(&nanBits), 4));
    ASSERT_EQ(db->ReadPoint(284), 0);
    EXPECT_EQ(Text(284), "nan");

    EXPECT_FALSE(P(12)->IsChanged());
    EXPECT_FALSE(P(284)->IsChanged());
    EXPECT_FALSE(db->AnyChanged());
    unit.ClearLog();
    EXPECT_EQ(db->WriteChanges(), 0);
    EXPECT_EQ(unit.RequestCount(), 0);
    EXPECT_EQ(db->AsWriteLogRecordsManager().Count(), 0);

    // An edit away from the mark is a change like any other.
    db->SetPointText(12, "2.5");
    EXPECT_TRUE(P(12)->IsChanged());
}

TEST_F(DatabasePathsTest, ApplyBlockReplyIgnoresEntriesBeyondTheRequestOrTheBytesPresent)
{
    const std::vector<int> rows = {RowOf(10), RowOf(284)};
    uint8_t values[80];
    std::memset(values, 0x11, sizeof values);

    // A count above the request's: only the requested rows are applied.
    db->ApplyBlockReply(Request({RowOf(10)}), 20, values, 80, true);
    EXPECT_EQ(Text(10), "4369");
    EXPECT_FALSE(P(284)->IsValid());

    // The reply ends inside the second value: the first applies, the second does not.
    db->ApplyBlockReply(Request(rows), 2, values, 5, true);
    EXPECT_TRUE(P(10)->IsValid());
    EXPECT_EQ(Text(284), "0");
    EXPECT_FALSE(P(284)->IsValid());

    // A count of 0 changes nothing.
    db->ApplyBlockReply(Request(rows), 0, values, 80, true);
    EXPECT_EQ(Text(284), "0");
}

TEST_F(DatabasePathsTest, AWrongBlockReplyTypeIsAFailedReadThatAppliesNothing)
{
    unit.SetValue(sim::DbId{10}, 77);
    db->Connect();
    db->AsExpressScan().Clear();
    db->AsExpressScan().Add(10);
    db->AsExpressScan().Add(138);
    db->AsExpressScan().SetPage(2, 0, 1);
    db->ClearValid();
    unit.SetValue(sim::DbId{10}, 5);
    unit.FailNext(sim::Fault::WrongType, 1, 50);

    try {
        db->ExpressRead(false);
        FAIL() << "a wrong reply type must fail the read";
    } catch (int code) {
        EXPECT_EQ(code, kErrUnexpectedReplyType);
    }
    EXPECT_EQ(Text(10), "77");   // not zeroed, not the new value
    EXPECT_FALSE(P(10)->IsValid());
    EXPECT_FALSE(P(138)->IsValid());
}

TEST_F(DatabasePathsTest, ABlockReplyThatDoesNotFitItsRequestIsAFailedReadThatAppliesNothing)
{
    // A block reply carries no sequence number; one whose count is not the rows asked for, or
    // whose values fall short of their widths, or that is longer than a block reply can be,
    // may be a late reply to an earlier block. Bytes past the values are the reply's unused
    // rest (the whole 81-byte reply) and are ignored.
    unit.SetValue(sim::DbId{10}, 77);
    db->Connect();
    ExpressScan& scan = db->AsExpressScan();
    scan.Clear();
    scan.Add(10);    // u16
    scan.Add(284);   // float, later in the catalogue
    scan.SetPage(2, 0, 1);
    db->ExpressRead(false);

    constexpr int kUnused = 80 - 6;   // bytes after the six value bytes in the whole reply
    const struct {
        const char* name;
        bool packed;
        sim::FaultRule fault;
        bool taken;
    } cases[] = {
        {"whole reply", false, {sim::Fault::LongReply, 50, 1, 0, 0}, true},
        {"whole reply, part of its unused rest missing", false, {sim::Fault::ShortReply, 50, 1, 0, kUnused - 1}, true},
        {"whole reply, two value bytes short", false, {sim::Fault::ShortReply, 50, 1, 0, kUnused + 2}, false},
        {"whole reply, one byte past the 81", false, {sim::Fault::LongReply, 50, 1, 0, 1}, false},
        {"whole reply, a count above the request's", false, {sim::Fault::CountAboveRequest, 50, 1, 0, 5}, false},
        {"packed reply", true, {sim::Fault::LongReply, 50, 1, 0, 0}, true},
        {"packed reply, one byte past the values", true, {sim::Fault::LongReply, 50, 1, 0, 1}, true},
        {"packed reply, two value bytes short", true, {sim::Fault::ShortReply, 50, 1, 0, 2}, false},
        {"packed reply, a count above the request's", true, {sim::Fault::CountAboveRequest, 50, 1, 0, 5}, false},
    };
    int round = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ++round;
        unit.SetValue(sim::DbId{10}, 77);
        unit.SetValue(sim::DbId{284}, 1.5);
        db->ExpressRead(false);
        db->ClearValid();
        unit.SetValue(sim::DbId{10}, 300 + round);
        unit.SetValue(sim::DbId{284}, 9.5);
        unit.SetPackedBlockReplies(c.packed);
        unit.ClearFaults();
        unit.AddFault(c.fault);
        try {
            db->ExpressRead(false);
            EXPECT_TRUE(c.taken) << "the read must fail";
        } catch (int code) {
            EXPECT_FALSE(c.taken) << "the read failed with " << code;
            EXPECT_EQ(code, 2);
        }
        if (c.taken) {
            EXPECT_EQ(Text(10), std::to_string(300 + round));
            EXPECT_EQ(Text(284), "9.5");
        } else {
            EXPECT_EQ(Text(10), "77");
            EXPECT_EQ(Text(284), "1.5");
        }
        EXPECT_EQ(P(10)->IsValid(), c.taken);
        EXPECT_EQ(P(284)->IsValid(), c.taken);
    }
    unit.ClearFaults();
    unit.SetPackedBlockReplies(false);
}

// --- writes ----------------------------------------------------------------------------------------------

// The value field of a point write [len][4][u16 address][4-byte value].
QByteArray WriteValue(const QByteArray& request) { return request.mid(4, 4); }

TEST_F(DatabasePathsTest, WriteChangesSendsChangedPointsInRowOrderWithTheirMessageBytes)
{
    db->Connect();
    db->AsExpressScan().Clear();
    db->AsExpressScan().Add(1);
    db->AsExpressScan().SetPage(3, 0, 1);
    db->ExpressRead(false);   // the page read makes the text point valid
    unit.ClearLog();

    db->SetPointText(284, "1.5");
    db->SetPointText(1, "North");
    db->SetPointText(10, "300");
    db->SetPointText(4, "True");

    EXPECT_EQ(db->WriteChanges(), 0);

    const std::vector<QByteArray> requests = unit.Requests();
    ASSERT_EQ(requests.size(), 4u);
    // Rows: Unit Site 3, Black Tape Detect Enable, Purge Time, Bypass Timeout.
    const float f = 1500.0f;   // seconds on the page of streams, milliseconds on the unit
    const QByteArray floatBytes(reinterpret_cast<const char*>(&f), 4);
    auto u16 = [](int v) { return QByteArray(reinterpret_cast<const char*>(&v), 2); };
    EXPECT_EQ(requests[0], QByteArray("\x0a\x06", 2) + u16(RowOf(1)) + QByteArray("\x05North", 6));
    EXPECT_EQ(requests[1].left(4), QByteArray("\x08\x04", 2) + u16(RowOf(4)));
    EXPECT_EQ(WriteValue(requests[1]), QByteArray("\x01\x00\x00\x00", 4));
    EXPECT_EQ(requests[2].left(4), QByteArray("\x08\x04", 2) + u16(RowOf(10)));
    EXPECT_EQ(WriteValue(requests[2]), QByteArray("\x2c\x01\x00\x00", 4));
    EXPECT_EQ(requests[3].left(4), QByteArray("\x08\x04", 2) + u16(RowOf(284)));
    EXPECT_EQ(WriteValue(requests[3]), floatBytes);

    EXPECT_EQ(unit.Text(sim::DbId{1}), "North");
    EXPECT_EQ(unit.Value(sim::DbId{284}), 1500.0);
    EXPECT_EQ(db->AsWriteLogRecordsManager().Ids(), (std::vector<int>{1, 4, 10, 284}));
    EXPECT_FALSE(db->AnyChanged());

    // Nothing changed since: nothing is sent, nothing is added.
    unit.ClearLog();
    EXPECT_EQ(db->WriteChanges(), 0);
    EXPECT_EQ(unit.RequestCount(), 0);
    EXPECT_EQ(db->AsWriteLogRecordsManager().Count(), 4);
}

TEST_F(DatabasePathsTest, AFailedWriteStopsTheSequenceAndListsOnlyWhatWasSent)
{
    db->Connect();
    db->SetPointText(10, "300");
    db->SetPointText(25, "15");
    db->SetPointText(20, "1");
    unit.AddFault({sim::Fault::Reject, 4, 1, 1});   // the second point write is refused
    // Page 0: no block writes; the stream change adjusts the sequencer first.
    EXPECT_THROW(db->WriteChanges(), int);

    EXPECT_EQ(db->AsWriteLogRecordsManager().Ids(), std::vector<int>{10});
    EXPECT_EQ(unit.Value(sim::DbId{10}), 300.0);
    EXPECT_EQ(unit.Value(sim::DbId{20}), 0.0);
    EXPECT_TRUE(P(20)->IsChanged());
    EXPECT_TRUE(P(25)->IsChanged());
}

TEST_F(DatabasePathsTest, AStreamCountChangeFiltersAndWritesTheSequencerBeforeThePoints)
{
    // Automatic list {(1,0), (0,2)}: with one stream the stream 2 entry goes.
    QByteArray seq(kSequencerBlockSize, '\0');
    seq[0] = 1;
    seq[1] = 2;
    seq[2] = 1;
    seq[3] = 0;
    seq[4] = 0;
    seq[5] = 2;
    unit.SetSequencerBlock(seq);
    unit.SetValue(sim::DbId{20}, 1);
    unit.SetValue(sim::DbId{1614}, 1);
    db->Connect();
    unit.ClearLog();

    db->SetPointText(20, "0");
    db->WriteChanges();

    EXPECT_TRUE(db->StreamsChanged());
    EXPECT_EQ(Types(unit.Requests()), (std::vector<int>{62, 60, 4, 4}));
    const QByteArray stored = unit.SequencerBlock();
    EXPECT_EQ(static_cast<int>(stored[1]), 1);
    EXPECT_EQ(static_cast<int>(stored[2]), 0);
    EXPECT_EQ(static_cast<int>(stored[3]), 2);
    // The stream count goes out in its row position, after the calibration point it lowered.
    EXPECT_EQ(unit.Value(sim::DbId{20}), 0.0);
    EXPECT_EQ(unit.Value(sim::DbId{1614}), 0.0);
    EXPECT_LT(RowOf(20), RowOf(1614));
    EXPECT_EQ(RequestAddress(unit.Requests()[2]), RowOf(20));
}

TEST_F(DatabasePathsTest, ApplyStreamCountLowersCalibrationReferencesOfConfiguredStreamsOnly)
{
    struct Case {
        int streams;
        std::vector<std::pair<int, int>> before;   // DbId, value
        std::vector<std::pair<int, int>> after;
    };
    // Only the stream 1 points of this catalogue (Sample, Reference 1, Reference 2) belong to a
    // configuration group; the others are never adjusted.
    const Case cases[] = {
        // One stream: points above 0 drop to 0.
        {0, {{1614, 2}, {1617, 0}, {1618, 1}}, {{1614, 0}, {1617, 0}, {1618, 1}}},
        // Three streams: points holding 3 become 2, smaller values stay.
        {2, {{1614, 3}, {1616, 1}, {1617, 3}, {1622, 3}}, {{1614, 2}, {1616, 1}, {1617, 2}, {1622, 3}}},
        // Four streams, or a setting out of range: nothing changes.
        {3, {{1614, 3}, {1616, 3}}, {{1614, 3}, {1616, 3}}},
        {7, {{1614, 3}}, {{1614, 3}}},
        {-1, {{1614, 3}}, {{1614, 3}}},
    };
    for (const Case& c : cases) {
        for (auto [id, v] : c.before) {
            db->SetValid(static_cast<TDbId>(id));
            db->PointByDbId(static_cast<TDbId>(id))->SetInitialText(std::to_string(v));
        }
        db->ApplyStreamCount(c.streams);
        for (auto [id, v] : c.after) EXPECT_EQ(Text(static_cast<TDbId>(id)), std::to_string(v)) << c.streams << " " << id;
    }
    // A point that is not valid is left alone.
    db->ClearValid();
    db->PointByDbId(1614)->SetInitialText("3");
    db->ApplyStreamCount(0);
    EXPECT_EQ(Text(1614), "3");
}

TEST_F(DatabasePathsTest, OnThePageOfStreamsTheAdjustmentRunsWithoutAStreamChange)
{
    unit.SetValue(sim::DbId{1614}, 2);
    unit.SetValue(sim::DbId{1618}, 1);
    db->Connect();
    db->AsExpressScan().SetPage(3, 0, 1);
    db->SetValid(1618);
    db->PointByDbId(1618)->SetInitialText("1");
    db->WriteChanges();
    EXPECT_EQ(unit.Value(sim::DbId{1614}), 0.0);
    EXPECT_EQ(Text(1618), "1");
    EXPECT_FALSE(db->StreamsChanged());
    EXPECT_EQ(unit.RequestCount(62), 0);
}

TEST_F(DatabasePathsTest, TimersAreWrittenOnTheirPageOnlyWhenChanged)
{
    db->Connect();
    db->AsExpressScan().SetPage(16, 0, 1);
    unit.ClearLog();

    db->WriteChanges();   // clipping with the stream setting changes nothing: no timer record runs a sequence
    EXPECT_EQ(unit.RequestCount(66), 0);
    EXPECT_TRUE(db->AsWriteLogRecordsManager().IsEmpty());

    uint8_t block[kTimerBlockSize] = {};
    block[0] = 1;
    db->AsTimerXManager()->SetBlock(block);
    db->SetPointText(10, "5");
    db->WriteChanges();
    EXPECT_EQ(unit.RequestCount(66), 1);
    EXPECT_EQ(static_cast<uint8_t>(unit.TimerBlock()[0]), 1);
    EXPECT_FALSE(db->AsTimerXManager()->IsChanged());
    EXPECT_EQ(db->AsWriteLogRecordsManager().Ids(), (std::vector<int>{10, WriteLogRecordsManager::kTimerBlockMarkerId}));
}

TEST_F(DatabasePathsTest, OnTheFactoryPageWithOneStreamTimersAreClippedAndWritten)
{
    QByteArray timers(kTimerBlockSize, '\0');
    timers[9] = 1;   // timer 0 runs a sequence with analyses of every stream
    const uint32_t all = 0xFFFFFF;
    std::memcpy(timers.data() + 5, &all, 4);
    unit.SetTimerBlock(timers);
    db->Connect();
    db->AsExpressScan().SetPage(8, 0, 1);
    db->WriteChanges();
    uint32_t stored;
    std::memcpy(&stored, unit.TimerBlock().constData() + 5, 4);
    EXPECT_EQ(stored, 0x3Fu);
    EXPECT_TRUE(db->AsWriteLogRecordsManager().Contains(WriteLogRecordsManager::kTimerBlockMarkerId));
}

TEST_F(DatabasePathsTest, OnTheModbusPageTheMapIsTracedAndWrittenBeforeThePoints)
{
    ModbusHeader header{};
    header.runs[0] = {0, 1};   // one coil
    header.runs[1] = {1, 0};
    header.runs[2] = {1, 0};
    header.runs[3] = {1, 0};
    unit.SetModbusMapHeader(header);
    unit.SetModbusMapEntry({0, 0, 8, 1, 1610});
    db->Connect();
    db->AsExpressScan().SetPage(7, 1, 1);
    db->SetPointText(10, "9");
    unit.ClearLog();

    db->WriteChanges();

    // Zero header, the entry, the real header, then the changed point.
    EXPECT_EQ(Types(unit.Requests()), (std::vector<int>{22, 24, 22, 4}));
    EXPECT_EQ(uint16_t{unit.ModbusMapEntry(0).UNIQUEID}, 1610);
    EXPECT_EQ(uint16_t{unit.ModbusMapHeader().runs[0].count}, 1);
    EXPECT_TRUE(TraceFile().contains("Modbus List         Mode=ENRON"));
}

TEST_F(DatabasePathsTest, WriteConfigPointsWritesEveryWritableConfigurationPoint)
{
    db->Connect();
    unit.ClearLog();
    EXPECT_EQ(db->WriteConfigPoints(), 0);

    int expected = 0;
    for (int row = 0; row < kCatalogueRowCount; ++row) {
        const rosetta::CatalogueRow& r = kCatalogueRows[row];
        if ((r.flags & 0x1F) && (r.flags & 0x04) && r.access == 1) ++expected;
    }
    EXPECT_EQ(unit.RequestCount(4) + unit.RequestCount(6), expected);
    EXPECT_EQ(unit.RequestCount(22), 2);   // the Modbus header, zeroed first
    EXPECT_EQ(unit.RequestCount(66), 1);   // the timers
    EXPECT_TRUE(db->AsWriteLogRecordsManager().IsEmpty());
}

}  // namespace
