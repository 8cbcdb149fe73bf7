// The Modbus map model: register kinds and their entry bytes, editing, the "*.K41mb" list
// file, the configuration-file image, and transfers to and from the simulated analyzer.
#include "tests/engine/sim_engine.h"
#include "tests/sim/core/analyzer_core.h"
#include "tevrin/rtdb/comm_db_point_facade.h"
#include "tevrin/rtdb/database_point.h"
#include "tevrin/rtdb/db_point_factory.h"
#include "tevrin/rtdb/catalogue/catalogue_rows.h"
#include "tevrin/rtdb/modbus_list.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>

using rtdbtest::ReplyMessage;
using rtdbtest::ScriptedAnalyzer;
using rtdbtest::SimEngine;

namespace {

// Points used below (all may be mapped to Modbus):
//   329 "Reset All Latches" writable    346 alarm state, read-only
//   460 "Day Of Week" writable          29 "Total Run Counter" writable
//   21  "Gain" writable                 450 "Sample Reading", read-only
constexpr uint16_t kCoilW = 329, kCoilR = 346, kShortW = 460, kLongW = 29, kFloatW = 21, kFloatR = 450;

// One point per catalogue row, found by DbId, as the real-time database holds them.
class PointTable {
public:
    PointTable()
    {
        for (int row = 0; row < rosetta::kCatalogueRowCount; ++row) {
            std::unique_ptr<DatabasePoint> p = DBPointFactory::Create(static_cast<uint16_t>(row));
            if (p && !byDbId_.count(p->GetDbId()))
                byDbId_[p->GetDbId()] = p.get();
            points_.push_back(std::move(p));
        }
    }
    DatabasePoint* operator()(uint16_t dbId) const
    {
        auto it = byDbId_.find(dbId);
        return it == byDbId_.end() ? nullptr : it->second;
    }
    MBPointLookup Lookup() const
    {
        return [this](uint16_t id) { return (*this)(id); };
    }

private:
    std::vector<std::unique_ptr<DatabasePoint>> points_;
    std::map<uint16_t, DatabasePoint*> byDbId_;
};

const PointTable& Points()
{
    static const PointTable table;
    return table;
}

DatabasePoint* P(uint16_t dbId)
{
    DatabasePoint* p = Points()(dbId);
    EXPECT_NE(p, nullptr) << dbId;
    return p;
}

QString DataFile(const char* name)
{
    return QDir(QStringLiteral(TEVRIN_TEST_DIR)).filePath(QStringLiteral("data/") + name);
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// The DbIds of a group (or subgroup) in order.
std::vector<int> Ids(ModbusList& list, int kind)
{
    std::vector<int> out;
    MBGroup* g = list.Groups().FindByKind(kind);
    if (!g)
        return out;
    for (int i = 0; i < g->Count(); ++i)
        out.push_back(g->RegisterAt(i).point->GetDbId());
    return out;
}

std::vector<int> Offsets(ModbusList& list, int kind)
{
    std::vector<int> out;
    MBGroup* g = list.Groups().FindByKind(kind);
    for (int i = 0; g && i < g->Count(); ++i)
        out.push_back(g->RegisterAt(i).offset);
    return out;
}

// The ENRON map of the golden file: 2 coils, no shorts, 1 long, 2 floats, 2 archive entries.
void FillEnronExample(ModbusList& list)
{
    list.AddPoint(P(kCoilW), 0);
    list.AddPoint(P(kCoilR), 0);
    list.AddPoint(P(kLongW), 2);
    list.AddPoint(P(kFloatW), 3);
    list.AddPoint(P(kFloatR), 3);
    list.AddPoint(P(kFloatR), 4);
    list.AddPoint(P(kFloatW), 4);
}

// The MODICON32 map of the golden file: one of each status, three input registers of the
// three widths, one float holding register.
void FillModicon32Example(ModbusList& list)
{
    list.AddPoint(P(kCoilW), 9);
    list.AddPoint(P(kCoilR), 10);
    list.AddPoint(P(kFloatR), 13);   // added out of subgroup order on purpose
    list.AddPoint(P(kShortW), 11);
    list.AddPoint(P(kLongW), 12);
    list.AddPoint(P(kFloatW), 16);
}

struct Notice {
    TMBGProfile profile;
    int index;
    QString property;
    int value;
};

class RecordingMBObserver : public IMBObserver {
public:
    void Respond(TMBGProfile profile, int index, const QString& propertyId, int value) override
    {
        notices.push_back({profile, index, propertyId, value});
    }
    std::vector<Notice> notices;
};

class ModbusListTest : public ::testing::Test {
public:
    QTemporaryDir dir;
    ModbusList list{kModbusEnron, Points().Lookup()};
    ModmapAdapter& adapter = list.Adapter();

    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

}  // namespace

// --- kinds and entry bytes -----------------------------------------------------------------

TEST_F(ModbusListTest, EveryKindWritesItsEntryBytesAndReadsBackAsItself)
{
    struct Case {
        int kind;
        uint8_t mode;
        uint16_t dbId;
        ModmapEntry expected;   // LSMS, FORMAT, ACCESS, UNIQUEID
    };
    const Case cases[] = {
        {0, kModbusEnron, kCoilW, {0, 8, 1, kCoilW}},
        {0, kModbusEnron, kCoilR, {0, 8, 0, kCoilR}},   // ENRON: the point's own access
        {1, kModbusEnron, kShortW, {0, 5, 1, kShortW}},
        {2, kModbusEnron, kLongW, {0, 4, 1, kLongW}},
        {3, kModbusEnron, kFloatR, {0, 0, 0, kFloatR}},
        {5, kModbusModicon16, kCoilR, {0, 8, 1, kCoilR}},   // from kind 5 on the kind fixes ACCESS
        {6, kModbusModicon16, kCoilW, {0, 8, 0, kCoilW}},
        {7, kModbusModicon16, kShortW, {0, 5, 0, kShortW}},
        {8, kModbusModicon16, kFloatR, {0, 5, 1, kFloatR}},
        {9, kModbusModicon32, kCoilR, {0, 8, 1, kCoilR}},
        {10, kModbusModicon32, kCoilW, {0, 8, 0, kCoilW}},
        {11, kModbusModicon32, kShortW, {0, 2, 0, kShortW}},
        {12, kModbusModicon32, kLongW, {1, 1, 0, kLongW}},
        {13, kModbusModicon32, kFloatW, {1, 0, 0, kFloatW}},
        {14, kModbusModicon32, kShortW, {0, 2, 1, kShortW}},
        {15, kModbusModicon32, kLongW, {1, 1, 1, kLongW}},
        {16, kModbusModicon32, kFloatR, {1, 0, 1, kFloatR}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        ASSERT_TRUE(list.SetMode(c.mode));
        list.Clear();
        ASSERT_EQ(list.AddPoint(P(c.dbId), c.kind), 0);
        list.FillAdapter();
        ASSERT_EQ(adapter.Count(), 1);
        const ModmapEntry e = adapter.EntryAt(0);
        EXPECT_EQ(e.LSMS, c.expected.LSMS);
        EXPECT_EQ(e.FORMAT, c.expected.FORMAT);
        EXPECT_EQ(e.ACCESS, c.expected.ACCESS);
        EXPECT_EQ(uint16_t{e.UNIQUEID}, uint16_t{c.expected.UNIQUEID});
        EXPECT_EQ(adapter.GetMode(), c.mode);
        EXPECT_EQ(adapter.RegisterKind(0), c.kind);
        EXPECT_EQ(adapter.PointAt(0), P(c.dbId));
    }
}

TEST_F(ModbusListTest, KindOfStoredBytesFollowsTheLayout)
{
    struct Case {
        uint8_t mode;
        uint8_t format;
        uint8_t access;
        int kind;
    };
    const Case cases[] = {
        {kModbusEnron, 0, 0, 3}, {kModbusEnron, 4, 1, 2}, {kModbusEnron, 5, 0, 1},
        {kModbusEnron, 8, 1, 0}, {kModbusEnron, 2, 0, 0},
        {kModbusModicon16, 5, 1, 8}, {kModbusModicon16, 5, 0, 7}, {kModbusModicon16, 8, 1, 5},
        {kModbusModicon16, 8, 0, 6}, {kModbusModicon16, 0, 1, 0},
        {kModbusModicon32, 0, 1, 16}, {kModbusModicon32, 0, 0, 13}, {kModbusModicon32, 1, 1, 15},
        {kModbusModicon32, 1, 0, 12}, {kModbusModicon32, 2, 1, 14}, {kModbusModicon32, 2, 0, 11},
        {kModbusModicon32, 8, 1, 9}, {kModbusModicon32, 8, 0, 10}, {kModbusModicon32, 5, 1, 0},
    };
    for (const Case& c : cases) {
        ModmapImage image;
        std::memset(&image, 0, sizeof image);
        image.header.mode = c.mode;
        image.header.runs[0].count = 1;
        image.entries[0] = {0, c.format, c.access, kFloatW};
        ASSERT_TRUE(adapter.SetImage(image));
        EXPECT_EQ(adapter.RegisterKind(0), c.kind)
            << "mode " << int(c.mode) << " FORMAT " << int(c.format) << " ACCESS " << int(c.access);
        EXPECT_EQ(adapter.IsWritable(0), c.access == 1);
    }
}

TEST_F(ModbusListTest, GroupsOfEachLayoutAndTheirRegisterNumbers)
{
    struct Case {
        uint8_t mode;
        std::vector<int> kinds;   // kinds the layout answers for
        std::vector<int> starts;
    };
    const Case cases[] = {
        {kModbusEnron, {0, 1, 2, 3, 4}, {1001, 3001, 5001, 7001, 701}},
        {kModbusModicon16, {5, 6, 7, 8}, {1, 10001, 30001, 40001}},
        {kModbusModicon32, {9, 10, 11, 14}, {1, 10001, 30001, 40001}},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(list.SetMode(c.mode));
        EXPECT_EQ(list.Mode(), c.mode);
        for (size_t i = 0; i < c.kinds.size(); ++i) {
            MBGroup* g = list.Groups().FindByKind(c.kinds[i]);
            ASSERT_NE(g, nullptr) << c.kinds[i];
            EXPECT_EQ(g->Kind(), c.kinds[i]);
            EXPECT_EQ(g->StartRegister(), c.starts[i]) << c.kinds[i];
        }
        // Kinds of the other layouts have no group here: adding them adds nothing.
        for (int kind = 0; kind < kModbusKindCount; ++kind) {
            if (MBKind(kind)->mode != c.mode) {
                EXPECT_EQ(list.AddPoint(P(kFloatW), kind), -1) << kind;
            }
        }
        EXPECT_EQ(list.EntryCount(), 0);
    }
}

TEST_F(ModbusListTest, UnknownModeIsRefusedAndKeepsTheGroups)
{
    list.AddPoint(P(kCoilW), 0);
    EXPECT_FALSE(list.SetMode(3));
    EXPECT_FALSE(list.SetMode(255));
    EXPECT_EQ(list.Mode(), kModbusEnron);
    EXPECT_EQ(Ids(list, 0), (std::vector<int>{kCoilW}));
}

// --- editing ---------------------------------------------------------------------------------

TEST_F(ModbusListTest, AddPointGivesOffsetsInRegistersAndTheInputGroupsAreNeverWritable)
{
    list.SetMode(kModbusModicon32);
    EXPECT_EQ(list.AddPoint(P(kLongW), 15), 0);
    EXPECT_EQ(list.AddPoint(P(kFloatW), 15), 2);   // long registers are two wide
    EXPECT_EQ(list.AddPoint(P(kShortW), 14), 0);
    EXPECT_EQ(list.AddPoint(P(kFloatW), 11), 0);
    MBGroup* holdingLong = list.Groups().FindByKind(15);
    EXPECT_TRUE(holdingLong->IsWritableAt(0));
    EXPECT_FALSE(holdingLong->IsWritableAt(2));   // no such position
    EXPECT_FALSE(list.Groups().FindByKind(11)->IsWritableAt(0));   // input, though Gain is writable

    // Subgroups of an extended group number their registers after one another.
    EXPECT_EQ(list.Groups().FindByKind(14)->StartRegister(), 40001);
    EXPECT_EQ(list.Groups().FindByKind(15)->StartRegister(), 40002);
    EXPECT_EQ(list.Groups().FindByKind(16)->StartRegister(), 40006);
}

TEST_F(ModbusListTest, MoveWithinAndBetweenGroupsRenumbersOffsets)
{
    list.SetMode(kModbusModicon32);
    list.AddPoint(P(kLongW), 12);
    list.AddPoint(P(kFloatW), 12);
    list.AddPoint(P(kFloatR), 12);
    list.AddPoint(P(kShortW), 11);

    // Within a group the source is a position.
    EXPECT_TRUE(list.MoveEntry(12, 2, 12, 0));
    EXPECT_EQ(Ids(list, 12), (std::vector<int>{kFloatR, kLongW, kFloatW}));
    EXPECT_EQ(Offsets(list, 12), (std::vector<int>{0, 2, 4}));

    // Between groups the source is the register offset.
    EXPECT_TRUE(list.MoveEntry(12, 2, 11, 0));   // offset 2 is the long counter
    EXPECT_EQ(Ids(list, 12), (std::vector<int>{kFloatR, kFloatW}));
    EXPECT_EQ(Offsets(list, 12), (std::vector<int>{0, 2}));
    EXPECT_EQ(Ids(list, 11), (std::vector<int>{kLongW, kShortW}));
    EXPECT_EQ(Offsets(list, 11), (std::vector<int>{0, 1}));

    // Nothing moves for an offset no register has, a position outside the group, or a kind
    // without a group.
    EXPECT_FALSE(list.MoveEntry(12, 1, 11, 0));
    EXPECT_FALSE(list.MoveEntry(12, 0, 12, 2));
    EXPECT_FALSE(list.MoveEntry(3, 0, 11, 0));
    EXPECT_EQ(Ids(list, 12), (std::vector<int>{kFloatR, kFloatW}));
    EXPECT_EQ(Ids(list, 11), (std::vector<int>{kLongW, kShortW}));
}

TEST_F(ModbusListTest, DeleteByOffsetRenumbersAndAnUnknownOffsetRemovesNothing)
{
    list.SetMode(kModbusModicon32);
    list.AddPoint(P(kLongW), 15);
    list.AddPoint(P(kFloatW), 15);
    list.AddPoint(P(kShortW), 15);
    EXPECT_FALSE(list.DeleteEntry(15, 1));   // offsets are 0, 2, 4
    EXPECT_FALSE(list.DeleteEntry(16, 0));   // empty group
    EXPECT_EQ(list.EntryCount(), 3);
    EXPECT_TRUE(list.DeleteEntry(15, 2));
    EXPECT_EQ(Ids(list, 15), (std::vector<int>{kLongW, kShortW}));
    EXPECT_EQ(Offsets(list, 15), (std::vector<int>{0, 2}));
}

TEST_F(ModbusListTest, TheMapHoldsAtMostOneHundredEntries)
{
    for (int i = 0; i < kModbusMaxEntries; ++i)
        ASSERT_GE(list.AddPoint(P(i % 2 ? kFloatW : kFloatR), i % 5), 0) << i;
    EXPECT_EQ(list.AddPoint(P(kFloatW), 3), -1);
    EXPECT_EQ(list.EntryCount(), kModbusMaxEntries);
    list.FillAdapter();
    EXPECT_EQ(adapter.Count(), kModbusMaxEntries);
    EXPECT_FALSE(adapter.AddEntry(3, P(kFloatW), true));
    EXPECT_EQ(adapter.Count(), kModbusMaxEntries);
}

TEST_F(ModbusListTest, ClearEmptiesGroupsAndImageAndObserversHearOfLoadsOnly)
{
    RecordingMBObserver a, b;
    list.Attach(&a);
    list.Attach(&b);
    FillEnronExample(list);
    list.FillAdapter();
    list.Clear();
    EXPECT_EQ(list.EntryCount(), 0);
    EXPECT_EQ(adapter.Count(), 0);
    EXPECT_EQ(uint16_t{adapter.EntryAt(0).UNIQUEID}, 0);
    EXPECT_TRUE(a.notices.empty());

    ModmapImage image{};
    list.SetHeader(kModbusEnron, image.header.runs);
    ASSERT_TRUE(list.LoadFromImage(image));
    ASSERT_EQ(a.notices.size(), 1u);
    ASSERT_EQ(b.notices.size(), 1u);
    EXPECT_EQ(a.notices[0].profile, 0);
    EXPECT_EQ(a.notices[0].index, 1);
    EXPECT_EQ(a.notices[0].property, "loadFromUnit");
    EXPECT_EQ(a.notices[0].value, 0);

    list.Detach(&a);
    ASSERT_TRUE(list.LoadFromImage(image));
    EXPECT_EQ(a.notices.size(), 1u);
    EXPECT_EQ(b.notices.size(), 2u);
}

// --- the list file ---------------------------------------------------------------------------

TEST_F(ModbusListTest, SavedFilesMatchTheGoldenImagesByteForByte)
{
    struct Case {
        const char* golden;
        uint8_t mode;
        void (*fill)(ModbusList&);
    };
    const Case cases[] = {
        {"enron_map.K41mb", kModbusEnron, FillEnronExample},
        {"modicon32_map.K41mb", kModbusModicon32, FillModicon32Example},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.golden);
        list.SetMode(c.mode);
        list.Clear();
        c.fill(list);
        const QString path = Path("saved.K41mb");
        ASSERT_EQ(list.SaveToFile(path), 0) << adapter.LastError().toStdString();
        const QByteArray golden = ReadAll(DataFile(c.golden));
        ASSERT_EQ(golden.size(), 517);
        EXPECT_EQ(ReadAll(path).toHex(' '), golden.toHex(' '));
    }
}

TEST_F(ModbusListTest, GoldenFilesLoadIntoTheirGroupsWithArchiveEntriesKept)
{
    ASSERT_EQ(list.LoadFromFile(DataFile("enron_map.K41mb")), 0);
    EXPECT_EQ(list.Mode(), kModbusEnron);
    EXPECT_EQ(Ids(list, 0), (std::vector<int>{kCoilW, kCoilR}));
    EXPECT_EQ(Ids(list, 1), (std::vector<int>{}));
    EXPECT_EQ(Ids(list, 2), (std::vector<int>{kLongW}));
    EXPECT_EQ(Ids(list, 3), (std::vector<int>{kFloatW, kFloatR}));
    EXPECT_EQ(Ids(list, 4), (std::vector<int>{kFloatR, kFloatW}));
    // Writable flags come from the file's ACCESS bytes.
    EXPECT_EQ(list.Groups().FindByKind(4)->RegisterAt(1).writable, 1);
    EXPECT_EQ(list.Groups().FindByKind(0)->RegisterAt(1).writable, 0);

    ASSERT_EQ(list.LoadFromFile(DataFile("modicon32_map.K41mb")), 0);
    EXPECT_EQ(list.Mode(), kModbusModicon32);
    EXPECT_EQ(Ids(list, 9), (std::vector<int>{kCoilW}));
    EXPECT_EQ(Ids(list, 10), (std::vector<int>{kCoilR}));
    EXPECT_EQ(Ids(list, 11), (std::vector<int>{kShortW}));
    EXPECT_EQ(Ids(list, 12), (std::vector<int>{kLongW}));
    EXPECT_EQ(Ids(list, 13), (std::vector<int>{kFloatR}));
    EXPECT_EQ(Ids(list, 16), (std::vector<int>{kFloatW}));
    EXPECT_EQ(Ids(list, 14), (std::vector<int>{}));
}

TEST_F(ModbusListTest, SaveAndReloadKeepsEveryEntryInEveryLayout)
{
    for (uint8_t mode : {kModbusEnron, kModbusModicon16, kModbusModicon32}) {
        SCOPED_TRACE(int(mode));
        list.SetMode(mode);
        list.Clear();
        // Two points of every kind of the layout.
        for (int kind = 0; kind < kModbusKindCount; ++kind) {
            if (MBKind(kind)->mode != mode)
                continue;
            list.AddPoint(P(kFloatW), kind);
            list.AddPoint(P(kCoilR), kind);
        }
        list.FillAdapter();
        ModmapImage before;
        list.CopyImage(before);
        ASSERT_EQ(list.SaveToFile(Path("round.K41mb")), 0);

        list.SetMode(mode == kModbusEnron ? kModbusModicon16 : kModbusEnron);
        list.Clear();
        ASSERT_EQ(list.LoadFromFile(Path("round.K41mb")), 0);
        EXPECT_EQ(list.Mode(), mode);
        for (int kind = 0; kind < kModbusKindCount; ++kind) {
            if (MBKind(kind)->mode == mode) {
                EXPECT_EQ(Ids(list, kind), (std::vector<int>{kFloatW, kCoilR})) << kind;
            }
        }
        list.FillAdapter();
        ModmapImage after;
        list.CopyImage(after);
        EXPECT_EQ(std::memcmp(before.entries, after.entries, sizeof before.entries), 0);
    }
}

TEST_F(ModbusListTest, MalformedFilesAreRefusedAndChangeNothing)
{
    QByteArray good = ReadAll(DataFile("enron_map.K41mb"));
    ASSERT_EQ(good.size(), 517);
    QByteArray badMode = good;
    badMode[0] = 3;
    QByteArray tooMany = good;   // runs counting 101 entries
    tooMany[4] = char(101);
    QByteArray tooLong = good + QByteArray(1, '\0');

    struct Case {
        const char* what;
        QByteArray bytes;   // empty name below: no file at all
        bool create;
        int expected;
    };
    const Case cases[] = {
        {"missing", {}, false, 3},
        {"empty", {}, true, 3},
        {"short", good.left(516), true, 3},
        {"header only", good.left(17), true, 3},
        {"one byte too many", tooLong, true, 3},
        {"unknown mode", badMode, true, 3},
        {"more than 100 entries", tooMany, true, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        list.SetMode(kModbusModicon16);
        list.Clear();
        list.AddPoint(P(kCoilW), 5);
        list.FillAdapter();
        const QString path = Path("bad.K41mb");
        QFile::remove(path);
        if (c.create)
            WriteAll(path, c.bytes);

        EXPECT_EQ(list.LoadFromFile(path), c.expected);
        EXPECT_FALSE(adapter.LastError().isEmpty());
        EXPECT_EQ(list.Mode(), kModbusModicon16);
        EXPECT_EQ(Ids(list, 5), (std::vector<int>{kCoilW}));
        EXPECT_EQ(adapter.Count(), 1);
        EXPECT_EQ(adapter.GetMode(), kModbusModicon16);
    }
}

TEST_F(ModbusListTest, EntriesNamingNoPointAreDroppedOnLoad)
{
    QByteArray bytes = ReadAll(DataFile("enron_map.K41mb"));
    // The second coil names DbId 9999, which the database does not have.
    bytes[17 + 5 + 3] = char(0x0F);
    bytes[17 + 5 + 4] = char(0x27);
    WriteAll(Path("unknown.K41mb"), bytes);
    ASSERT_EQ(list.LoadFromFile(Path("unknown.K41mb")), 0);
    EXPECT_EQ(Ids(list, 0), (std::vector<int>{kCoilW}));
    EXPECT_EQ(Ids(list, 2), (std::vector<int>{kLongW}));
    EXPECT_EQ(adapter.PointAt(1), nullptr);
}

TEST_F(ModbusListTest, SaveThatCannotBeWrittenLeavesNoFileBehind)
{
    FillEnronExample(list);
    const QString inMissingFolder = Path("no/such/folder/map.K41mb");
    EXPECT_EQ(list.SaveToFile(inMissingFolder), 1);
    EXPECT_FALSE(adapter.LastError().isEmpty());
    EXPECT_FALSE(QFile::exists(inMissingFolder));

    // A save over an existing file replaces it whole.
    const QString path = Path("map.K41mb");
    WriteAll(path, QByteArray(2000, 'x'));
    ASSERT_EQ(list.SaveToFile(path), 0);
    EXPECT_EQ(ReadAll(path), ReadAll(DataFile("enron_map.K41mb")));
}

// --- the configuration-file image -------------------------------------------------------------

TEST_F(ModbusListTest, HeaderAndImageRestoreTheMapIncludingTheArchive)
{
    FillEnronExample(list);
    list.FillAdapter();
    ModbusHeader header;
    list.CopyHeader(header);
    ModmapImage image;
    list.CopyImage(image);
    EXPECT_EQ(header.mode, kModbusEnron);
    EXPECT_EQ(uint16_t{header.runs[0].count}, 2);
    EXPECT_EQ(uint16_t{header.runs[2].start}, 2);
    EXPECT_EQ(uint16_t{header.runs[3].start}, 3);
    EXPECT_EQ(uint16_t{header.runs[3].count}, 2);

    list.SetMode(kModbusModicon32);
    list.Clear();
    list.SetHeader(header.mode, header.runs);
    ASSERT_TRUE(list.LoadFromImage(image));
    EXPECT_EQ(list.Mode(), kModbusEnron);
    EXPECT_EQ(Ids(list, 0), (std::vector<int>{kCoilW, kCoilR}));
    EXPECT_EQ(Ids(list, 2), (std::vector<int>{kLongW}));
    EXPECT_EQ(Ids(list, 3), (std::vector<int>{kFloatW, kFloatR}));
    EXPECT_EQ(Ids(list, 4), (std::vector<int>{kFloatR, kFloatW}));
}

TEST_F(ModbusListTest, ImageWithABadHeaderIsRefused)
{
    FillEnronExample(list);
    list.FillAdapter();
    ModmapImage image;
    list.CopyImage(image);
    ModbusRun runs[4] = {{0, 50}, {50, 50}, {100, 1}, {0, 0}};
    list.SetHeader(kModbusEnron, runs);
    EXPECT_FALSE(list.LoadFromImage(image));
    ModbusRun fine[4] = {};
    list.SetHeader(7, fine);
    EXPECT_FALSE(list.LoadFromImage(image));
    EXPECT_EQ(Ids(list, 0), (std::vector<int>{kCoilW, kCoilR}));
    EXPECT_EQ(adapter.Count(), 7);
}

// --- transfers with the analyzer -------------------------------------------------------------

namespace {

class ModbusUnitTest : public ModbusListTest {
public:
    sim::AnalyzerCore unit;
    SimEngine engine{&unit};

    void SetUnitMap(uint8_t mode, std::initializer_list<ModbusRun> runs, const std::vector<ModbusEntry>& entries)
    {
        ModbusHeader h{};
        h.mode = mode;
        int i = 0;
        for (const ModbusRun& r : runs)
            h.runs[i++] = r;
        unit.SetModbusMapHeader(h);
        for (const ModbusEntry& e : entries)
            unit.SetModbusMapEntry(e);
    }
};

ModbusEntry Entry(int index, uint8_t lsms, uint8_t format, uint8_t access, uint16_t id)
{
    return {static_cast<uint16_t>(index), lsms, format, access, id};
}

}  // namespace

TEST_F(ModbusUnitTest, Modicon16MapIsReadIntoItsGroupsByTheHeaderRuns)
{
    SetUnitMap(kModbusModicon16, {{0, 2}, {2, 3}, {5, 0}, {5, 1}},
               {Entry(0, 0, 8, 0, kCoilR), Entry(1, 0, 8, 0, kCoilW), Entry(2, 0, 8, 1, kCoilW),
                Entry(3, 0, 8, 1, kFloatW), Entry(4, 0, 8, 1, kCoilR), Entry(5, 0, 5, 1, kShortW)});
    RecordingMBObserver observer;
    list.Attach(&observer);

    list.LoadFromUnit();

    EXPECT_EQ(list.Mode(), kModbusModicon16);
    EXPECT_EQ(Ids(list, 6), (std::vector<int>{kCoilR, kCoilW}));             // input status: run 0
    EXPECT_EQ(Ids(list, 5), (std::vector<int>{kCoilW, kFloatW, kCoilR}));    // output status: run 1
    EXPECT_EQ(Ids(list, 7), (std::vector<int>{}));
    EXPECT_EQ(Ids(list, 8), (std::vector<int>{kShortW}));
    EXPECT_EQ(unit.RequestCount(18), 1);
    EXPECT_EQ(unit.RequestCount(20), 6);
    ASSERT_EQ(observer.notices.size(), 1u);
    EXPECT_EQ(observer.notices[0].property, "loadFromUnit");
    // The image is rebuilt from the groups, output status first.
    ASSERT_EQ(adapter.Count(), 6);
    EXPECT_EQ(uint16_t{adapter.EntryAt(0).UNIQUEID}, kCoilW);
    EXPECT_EQ(adapter.RegisterKind(0), 5);
    EXPECT_EQ(adapter.RegisterKind(3), 6);
}

TEST_F(ModbusUnitTest, EnronWriteSendsZeroHeaderEntriesArchiveLastThenHeader)
{
    list.AddPoint(P(kCoilW), 0);
    list.AddPoint(P(kCoilR), 0);
    list.AddPoint(P(kLongW), 2);
    list.AddPoint(P(kFloatR), 4);
    unit.ClearLog();

    list.WriteToUnit();

    const std::vector<QByteArray> requests = unit.Requests();
    ASSERT_EQ(requests.size(), 6u);
    EXPECT_EQ(requests[0], QByteArray::fromHex("1316") + QByteArray(17, '\0'));
    for (int i = 0; i < 4; ++i) {
        ASSERT_EQ(uint8_t(requests[1 + i][1]), 24);
        EXPECT_EQ(uint8_t(requests[1 + i][2]), i) << "entry index";
    }
    EXPECT_EQ(requests[5], QByteArray::fromHex("1316" "00" "00000200" "02000000" "02000100" "03000000"));
    EXPECT_EQ(uint16_t{unit.ModbusMapEntry(3).UNIQUEID}, kFloatR);
    EXPECT_EQ(unit.ModbusMapEntry(3).FORMAT, 0);
    EXPECT_EQ(unit.ModbusMapEntry(1).ACCESS, 0);
    EXPECT_EQ(uint16_t{unit.ModbusMapHeader().runs[2].count}, 1);
}

TEST_F(ModbusUnitTest, Modicon32WriteSendsEntriesFirstAndReadsBackIntoSubgroups)
{
    list.SetMode(kModbusModicon32);
    FillModicon32Example(list);
    unit.ClearLog();

    list.WriteToUnit();

    const std::vector<QByteArray> requests = unit.Requests();
    ASSERT_EQ(requests.size(), 8u);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(uint8_t(requests[i][1]), 24) << i;
    EXPECT_EQ(requests[6], QByteArray::fromHex("1316") + QByteArray(17, '\0'));
    EXPECT_EQ(requests[7], QByteArray::fromHex("1316" "02" "01000100" "00000100" "02000300" "05000100"));

    list.SetMode(kModbusEnron);
    list.LoadFromUnit();
    EXPECT_EQ(list.Mode(), kModbusModicon32);
    EXPECT_EQ(Ids(list, 9), (std::vector<int>{kCoilW}));
    EXPECT_EQ(Ids(list, 10), (std::vector<int>{kCoilR}));
    EXPECT_EQ(Ids(list, 11), (std::vector<int>{kShortW}));
    EXPECT_EQ(Ids(list, 12), (std::vector<int>{kLongW}));
    EXPECT_EQ(Ids(list, 13), (std::vector<int>{kFloatR}));
    EXPECT_EQ(Ids(list, 16), (std::vector<int>{kFloatW}));
}

TEST_F(ModbusUnitTest, Modicon32EntriesWithAnUnknownWidthAndUnknownPointsAreDropped)
{
    SetUnitMap(kModbusModicon32, {{0, 0}, {0, 0}, {0, 4}, {0, 0}},
               {Entry(0, 0, 2, 0, kShortW), Entry(1, 0, 1, 0, kLongW) /* long without LSMS */,
                Entry(2, 1, 0, 0, 9999) /* no such point */, Entry(3, 1, 0, 0, kFloatR)});
    list.LoadFromUnit();
    EXPECT_EQ(Ids(list, 11), (std::vector<int>{kShortW}));
    EXPECT_EQ(Ids(list, 12), (std::vector<int>{}));
    EXPECT_EQ(Ids(list, 13), (std::vector<int>{kFloatR}));
}

TEST_F(ModbusUnitTest, FailedOrImpossibleLoadLeavesTheMapAsItWas)
{
    struct Case {
        const char* what;
        std::function<void(ModbusUnitTest&)> arrange;
        int code;
    };
    const Case cases[] = {
        {"no reply to an entry", [](ModbusUnitTest& t) {
             t.unit.AddFault({sim::Fault::Silence, 20, 1, 2});
         }, pollard_api::crNoResponse},
        {"unit reports an error on the header read", [](ModbusUnitTest& t) {
             t.engine.failNext.push_back(pollard_api::crUnitError);
         }, pollard_api::crUnitError},
        {"mode 3", [](ModbusUnitTest& t) {
             ModbusHeader h{};
             h.mode = 3;
             t.unit.SetModbusMapHeader(h);
         }, 2},
        {"runs counting 101 entries", [](ModbusUnitTest& t) {
             t.SetUnitMap(kModbusEnron, {{0, 60}, {60, 40}, {0, 1}, {0, 0}}, {});
         }, 2},
        {"run past the last entry", [](ModbusUnitTest& t) {
             t.SetUnitMap(kModbusEnron, {{99, 2}, {0, 0}, {0, 0}, {0, 0}}, {});
         }, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        unit.ClearFaults();
        SetUnitMap(kModbusEnron, {{0, 4}, {4, 0}, {4, 0}, {4, 0}},
                   {Entry(0, 0, 8, 1, kCoilW), Entry(1, 0, 8, 1, kCoilW), Entry(2, 0, 8, 1, kCoilW),
                    Entry(3, 0, 8, 1, kCoilW)});
        c.arrange(*this);
        list.SetMode(kModbusModicon16);
        list.Clear();
        list.AddPoint(P(kFloatW), 8);
        list.FillAdapter();
        RecordingMBObserver observer;
        list.Attach(&observer);

        try {
            list.LoadFromUnit();
            ADD_FAILURE() << "load succeeded";
        } catch (int code) {
            EXPECT_EQ(code, c.code);
        }
        EXPECT_EQ(list.Mode(), kModbusModicon16);
        EXPECT_EQ(Ids(list, 8), (std::vector<int>{kFloatW}));
        EXPECT_EQ(adapter.Count(), 1);
        EXPECT_TRUE(observer.notices.empty());
        list.Detach(&observer);
    }
}

TEST_F(ModbusUnitTest, WriteStopsAtTheFirstRefusedEntry)
{
    FillEnronExample(list);
    unit.AddFault({sim::Fault::WrongType, 24, 1, 1});
    unit.ClearLog();
    try {
        list.WriteToUnit();
        ADD_FAILURE() << "write succeeded";
    } catch (int code) {
        EXPECT_EQ(code, kErrUnexpectedReplyType);
    }
    // The zero header and two entries went out; the real header did not.
    EXPECT_EQ(unit.RequestCount(24), 2);
    EXPECT_EQ(unit.RequestCount(22), 1);
    EXPECT_EQ(uint16_t{unit.ModbusMapHeader().runs[0].count}, 0);
}

TEST(ModbusEntryIndex, ReplyForAnotherEntryIsAFailure)
{
    ScriptedAnalyzer unit;
    SimEngine engine{&unit};
    PointTable const& points = Points();
    ModbusList list(kModbusEnron, points.Lookup());
    ModbusHeader h{};
    h.runs[0] = {0, 2};
    unit.replies.push_back(ReplyMessage(19, QByteArray(reinterpret_cast<const char*>(&h), sizeof h)));
    ModbusEntry first{0, 0, 8, 1, kCoilW};
    ModbusEntry wrong{5, 0, 8, 1, kCoilW};
    unit.replies.push_back(ReplyMessage(21, QByteArray(reinterpret_cast<const char*>(&first), sizeof first)));
    unit.replies.push_back(ReplyMessage(21, QByteArray(reinterpret_cast<const char*>(&wrong), sizeof wrong)));
    try {
        list.LoadFromUnit();
        ADD_FAILURE() << "load succeeded";
    } catch (int code) {
        EXPECT_EQ(code, kErrEntryIndexMismatch);
    }
    EXPECT_EQ(list.EntryCount(), 0);
}
