// Typed database points: text forms of every class, bit-set edits, identity from the catalogue,
// observers, the point factory, and reading and writing through the message layer.
#include "tests/common/fake_prompter.h"
#include "tests/sim/core/analyzer_core.h"
#include "tests/engine/sim_engine.h"
#include "tevrin/rtdb/comm_db_point_facade.h"
#include "tevrin/rtdb/db_point_factory.h"
#include "tevrin/rtdb/rosetta.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <typeinfo>

using rtdbtest::SimEngine;

namespace {

using MakePoint = std::function<std::unique_ptr<DatabasePoint>()>;

template <typename P>
MakePoint Make()
{
    return [] { return std::make_unique<P>(0); };
}

class RecordingObserver : public IDBPointObserver {
public:
    void Respond(const char* value) override { seen.emplace_back(value); }
    std::vector<std::string> seen;
};

class PointsTest : public ::testing::Test {
protected:
    void SetUp() override { RosettaManager::Destroy(); }
    void TearDown() override { RosettaManager::Destroy(); }
};

TEST_F(PointsTest, TextFormsOfEveryClass)
{
    struct Case {
        const char* cls;
        MakePoint make;
        const char* text;
        const char* shown;
    };
    const Case cases[] = {
        {"Float", Make<FloatDatabasePoint>(), "1.5", "1.5"},
        {"Float", Make<FloatDatabasePoint>(), "  -2.5e3xyz", "-2500"},
        {"Float", Make<FloatDatabasePoint>(), "0.1", "0.1"},
        {"Float", Make<FloatDatabasePoint>(), "123456789", "1.23457e+08"},
        {"Float", Make<FloatDatabasePoint>(), "1,5", "1"},   // C locale whatever the desktop's
        {"Float", Make<FloatDatabasePoint>(), "abc", "0"},
        {"Float", Make<FloatDatabasePoint>(), "", "0"},
        // The analyzer's mark of a value it cannot give survives its own texts.
        {"Float", Make<FloatDatabasePoint>(), "NAN", "nan"},
        {"Float", Make<FloatDatabasePoint>(), "-INF", "-inf"},
        {"Float", Make<FloatDatabasePoint>(), " inf", "inf"},
        {"Float", Make<FloatDatabasePoint>(), "nanny", "0"},
        {"U32", Make<U32DatabasePoint>(), "4294967295", "4294967295"},
        {"U32", Make<U32DatabasePoint>(), "-1", "4294967295"},
        {"U32", Make<U32DatabasePoint>(), "4294967296", "0"},
        {"U32", Make<U32DatabasePoint>(), "12abc", "12"},
        {"U32", Make<U32DatabasePoint>(), "x12", "0"},
        {"U16", Make<U16DatabasePoint>(), "65535", "65535"},
        {"U16", Make<U16DatabasePoint>(), "70000", "4464"},
        {"U16", Make<U16DatabasePoint>(), "-1", "65535"},
        {"U8", Make<U8DatabasePoint>(), "300", "44"},
        {"U8", Make<U8DatabasePoint>(), "255", "255"},
        {"U8", Make<U8DatabasePoint>(), "-1", "255"},
        {"U8", Make<U8DatabasePoint>(), "2.9", "2"},
        {"S32", Make<S32DatabasePoint>(), "-2147483648", "-2147483648"},
        {"S32", Make<S32DatabasePoint>(), "4294967295", "-1"},
        {"S32", Make<S32DatabasePoint>(), "+17", "17"},
        {"S16", Make<S16DatabasePoint>(), "32768", "-32768"},
        {"S16", Make<S16DatabasePoint>(), "65535", "-1"},
        {"S8", Make<S8DatabasePoint>(), "255", "-1"},
        {"S8", Make<S8DatabasePoint>(), "128", "-128"},
        {"S8", Make<S8DatabasePoint>(), "-5", "-5"},
        {"Bool", Make<BoolDatabasePoint>(), "no", "True"},
        {"Bool", Make<BoolDatabasePoint>(), "True", "True"},
        {"Bool", Make<BoolDatabasePoint>(), "1", "True"},
        {"Bool", Make<BoolDatabasePoint>(), "FaLsE", "True"},
        {"Bool", Make<BoolDatabasePoint>(), " 0", "True"},
        {"Bool", Make<BoolDatabasePoint>(), "0.0", "True"},
        {"Bool", Make<BoolDatabasePoint>(), "", "False"},
        {"Bool", Make<BoolDatabasePoint>(), "False", "False"},
        {"Bool", Make<BoolDatabasePoint>(), "false", "False"},
        {"Bool", Make<BoolDatabasePoint>(), "FALSE", "False"},
        {"Bool", Make<BoolDatabasePoint>(), "F", "False"},
        {"Bool", Make<BoolDatabasePoint>(), "f", "False"},
        {"Bool", Make<BoolDatabasePoint>(), "0", "False"},
        {"Baud", Make<BaudDatabasePoint>(), "5", "5"},
        {"Baud", Make<BaudDatabasePoint>(), "9600", "128"},
        {"String", Make<StringDatabasePoint>(), "Unit 7, Bay 3", "Unit 7, Bay 3"},
        {"String", Make<StringDatabasePoint>(), "", ""},
        {"String", Make<StringDatabasePoint>(), "  123  ", "  123  "},
        {"Bits8", Make<Bits8DatabasePoint>(), "300", "44"},
        {"Bits16", Make<Bits16DatabasePoint>(), "65535", "65535"},
        {"Bits16", Make<Bits16DatabasePoint>(), "-1", "65535"},
        {"Bits32", Make<Bits32DatabasePoint>(), "4294967295", "-1"},
        {"Bits32", Make<Bits32DatabasePoint>(), "305419896", "305419896"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.cls) + " \"" + c.text + "\"");
        // Whole value: device and edited agree.
        auto p = c.make();
        p->SetInitialText(c.text);
        EXPECT_EQ(p->GetText(), c.shown);
        EXPECT_FALSE(p->IsChanged());
        // Edited value only: changed unless it equals the device value (0 / empty).
        auto q = c.make();
        q->SetText(c.text);
        EXPECT_EQ(q->GetText(), c.shown);
        auto fresh = c.make();
        EXPECT_EQ(q->IsChanged(), fresh->GetText() != c.shown);
    }
}

TEST_F(PointsTest, NewPointsHoldZero)
{
    const std::pair<MakePoint, const char*> cases[] = {
        {Make<FloatDatabasePoint>(), "0"}, {Make<U32DatabasePoint>(), "0"},   {Make<S8DatabasePoint>(), "0"},
        {Make<BoolDatabasePoint>(), "False"}, {Make<StringDatabasePoint>(), ""}, {Make<Bits32DatabasePoint>(), "0"},
    };
    for (const auto& [make, text] : cases) {
        auto p = make();
        EXPECT_EQ(p->GetText(), text);
        EXPECT_FALSE(p->IsChanged());
        EXPECT_FALSE(p->IsValid());
    }
}

TEST_F(PointsTest, AControlsTextEqualToThePointsOwnIsNoEdit)
{
    // A control hands back the text it shows. The point's own text leaves the point exactly as
    // it was (a float keeps the digits its text does not show); any other text is an edit, as
    // SetText takes it. Each case is checked against a twin that got the same setup and then
    // either nothing or SetText.
    struct Case {
        const char* cls;
        MakePoint make;
        const char* initial;   // device and edited value
        const char* pending;   // an edit not yet written, or nullptr
        const char* handed;
        bool edit;
        bool changed;
    };
    const Case cases[] = {
        {"Float", Make<FloatDatabasePoint>(), "299.200208", nullptr, "299.2", false, false},
        {"Float", Make<FloatDatabasePoint>(), "123456789", nullptr, "1.23457e+08", false, false},
        {"Float", Make<FloatDatabasePoint>(), "1.5", "2.345678", "2.34568", false, true},
        {"Float", Make<FloatDatabasePoint>(), "NAN", nullptr, "nan", false, false},
        {"Float", Make<FloatDatabasePoint>(), "299.200208", nullptr, "299.3", true, true},
        {"Float", Make<FloatDatabasePoint>(), "299.200208", nullptr, "299.20", true, true},   // typed, however written
        {"Float", Make<FloatDatabasePoint>(), "1.5", "2.345678", "1.5", true, false},         // an edit taken back
        {"U32", Make<U32DatabasePoint>(), "4000000000", nullptr, "4000000000", false, false},
        {"U32", Make<U32DatabasePoint>(), "4000000000", nullptr, "12", true, true},
        {"Bool", Make<BoolDatabasePoint>(), "True", nullptr, "True", false, false},
        {"Bool", Make<BoolDatabasePoint>(), "True", nullptr, "False", true, true},
        {"String", Make<StringDatabasePoint>(), "Bay 3", nullptr, "Bay 3", false, false},
        {"String", Make<StringDatabasePoint>(), "Bay 3", nullptr, "Bay 3 ", true, true},
        {"Bits16", Make<Bits16DatabasePoint>(), "5", nullptr, "5", false, false},
        {"Bits16", Make<Bits16DatabasePoint>(), "5", nullptr, "2", true, true},   // one bit set
        {"Bits32", Make<Bits32DatabasePoint>(), "-2147483643", nullptr, "-2147483643", false, false},
    };
    const auto edited = [](DatabasePoint& p) -> std::string {
        // The float's whole value, beyond the digits its text shows.
        if (auto* f = dynamic_cast<FloatDatabasePoint*>(&p)) {
            char whole[32];
            std::snprintf(whole, sizeof whole, "%.9g", double(f->EditedValue()));
            return whole;
        }
        return p.GetText();
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.cls) + " " + c.initial + " \"" + c.handed + "\"");
        auto p = c.make();
        auto twin = c.make();
        for (DatabasePoint* q : {p.get(), twin.get()}) {
            q->SetInitialText(c.initial);
            if (c.pending) q->SetText(c.pending);
        }
        p->PutText(c.handed);
        if (c.edit) twin->SetText(c.handed);
        EXPECT_EQ(edited(*p), edited(*twin));
        EXPECT_EQ(p->GetText(), twin->GetText());
        EXPECT_EQ(p->IsChanged(), c.changed);
    }
}

TEST_F(PointsTest, BitSetEditsKeepTheOtherBits)
{
    struct Step {
        const char* text;
        const char* shown;
    };
    struct Sequence {
        const char* name;
        MakePoint make;
        const char* initial;
        std::vector<Step> steps;
    };
    const Sequence sequences[] = {
        {"Bits16", Make<Bits16DatabasePoint>(), "5",
         {{"2", "7"},          // single bit: OR
          {"65531", "3"},      // single zero (0xFFFB): AND
          {"-5", "3"},         // the same mask as signed text
          {"12", "12"},        // anything else replaces
          {"32768", "32780"},  // bit 15
          {"0", "0"},          // zero is no mask
          {"65535", "65535"}}},
        {"Bits32", Make<Bits32DatabasePoint>(), "5",
         {{"-2147483648", "-2147483643"},  // bit 31 alone ORs in; shown signed
          {"2147483647", "5"},            // all but bit 31: clears it
          {"-2", "4"},                    // all but bit 0, signed text
          {"4294967291", "0"},            // all but bit 2, unsigned text
          {"65536", "65536"},
          {"-1", "-1"}}},
        {"Bits8", Make<Bits8DatabasePoint>(), "1",
         {{"4", "5"}, {"251", "1"}, {"-2", "0"}, {"3", "3"}}},
    };
    for (const auto& s : sequences) {
        SCOPED_TRACE(s.name);
        auto p = s.make();
        p->SetInitialText(s.initial);
        for (const Step& step : s.steps) {
            p->SetText(step.text);
            EXPECT_EQ(p->GetText(), step.shown) << "after " << step.text;
        }
        // The whole-value setters take the number without the mask test.
        p->SetInitialText("2");
        EXPECT_EQ(p->GetText(), "2");
        EXPECT_FALSE(p->IsChanged());
        RecordingObserver o;
        p->Attach(&o);
        p->SetTextAndNotify("1");
        EXPECT_EQ(p->GetText(), "1");
        EXPECT_EQ(o.seen, std::vector<std::string>{"1"});
        p->Detach(&o);
    }
}

TEST_F(PointsTest, IdentityFromTheCatalogue)
{
    U8DatabasePoint streams(64);
    EXPECT_EQ(streams.GetRow(), 64);
    EXPECT_EQ(streams.GetDbId(), 20);
    EXPECT_EQ(streams.GetName(), "Streams");
    EXPECT_EQ(streams.GetTypeCode(), 3);
    EXPECT_EQ(streams.GetTypeName(), "unsigned char");
    EXPECT_TRUE(streams.IsWritable());
    EXPECT_EQ(streams.GetFlags(), 0x04);
    ASSERT_NE(streams.GetGroup(), nullptr);
    EXPECT_EQ(streams.GetGroup()->code, 0x10);

    BoolDatabasePoint diagnostics(1358);
    EXPECT_EQ(diagnostics.GetDbId(), 65535);
    EXPECT_EQ(diagnostics.GetGroup()->code, 0x01);

    U32DatabasePoint version(0);
    EXPECT_FALSE(version.IsWritable());

    for (int row : {1359, 1400, 65535}) {
        FloatDatabasePoint invalid(static_cast<uint16_t>(row));
        EXPECT_EQ(invalid.GetName(), "**INVALID ROSETTA INDEX: " + std::to_string(row));
        EXPECT_EQ(invalid.GetDbId(), 0);
        EXPECT_EQ(invalid.GetTypeCode(), 0);
        EXPECT_FALSE(invalid.IsWritable());
        EXPECT_EQ(invalid.GetGroup(), nullptr);
        EXPECT_EQ(invalid.GetFlags(), 0);
    }

    streams.SetValid(1);
    EXPECT_TRUE(streams.IsValid());
}

TEST_F(PointsTest, Observers)
{
    U16DatabasePoint p(8);
    RecordingObserver a, b;
    p.SetTextAndNotify("1");   // nobody attached: nothing happens
    p.Attach(&a);
    p.Attach(&b);
    p.Attach(&a);
    p.SetText("2");            // edits don't notify
    p.SetInitialText("3");     // neither does the initial value
    p.SetTextAndNotify("4");
    EXPECT_EQ(a.seen, (std::vector<std::string>{"4", "4"}));
    EXPECT_EQ(b.seen, (std::vector<std::string>{"4"}));

    p.Detach(&a);   // removes both entries
    EXPECT_EQ(p.ObserverCount(), 1);
    p.SetTextAndNotify("70000");
    EXPECT_EQ(a.seen.size(), 2u);
    EXPECT_EQ(b.seen.back(), "4464");
}

TEST_F(PointsTest, ObserverMayDetachWhileBeingTold)
{
    U8DatabasePoint p(64);
    struct SelfDetaching : IDBPointObserver {
        DatabasePoint* point = nullptr;
        int calls = 0;
        void Respond(const char*) override
        {
            ++calls;
            point->Detach(this);
        }
    } first;
    RecordingObserver second;
    first.point = &p;
    p.Attach(&first);
    p.Attach(&second);
    p.SetTextAndNotify("9");
    EXPECT_EQ(first.calls, 1);
    EXPECT_EQ(second.seen, std::vector<std::string>{"9"});
    p.SetTextAndNotify("8");
    EXPECT_EQ(first.calls, 1);
}

TEST_F(PointsTest, FactoryPicksTheClassByTypeCode)
{
    RosettaInterface& c = *RosettaManager::Instance()->Catalogue();
    const std::map<int, const std::type_info*> classes = {
        {0, &typeid(FloatDatabasePoint)},  {1, &typeid(U32DatabasePoint)},   {2, &typeid(U16DatabasePoint)},
        {3, &typeid(U8DatabasePoint)},     {8, &typeid(BoolDatabasePoint)},  {9, &typeid(BoolDatabasePoint)},
        {10, &typeid(BoolDatabasePoint)},  {11, &typeid(BoolDatabasePoint)}, {12, &typeid(BoolDatabasePoint)},
        {13, &typeid(StringDatabasePoint)}, {15, &typeid(BaudDatabasePoint)}, {19, &typeid(U32DatabasePoint)},
        {20, &typeid(U32DatabasePoint)},   {21, &typeid(Bits16DatabasePoint)}, {22, &typeid(Bits32DatabasePoint)},
        {24, &typeid(U8DatabasePoint)},    {25, &typeid(U8DatabasePoint)},
    };
    for (int row = 0; row < c.Count(); ++row) {
        auto p = DBPointFactory::Create(static_cast<uint16_t>(row));
        ASSERT_NE(p, nullptr) << "row " << row;
        const auto it = classes.find(c.TypeCode(static_cast<uint16_t>(row)));
        ASSERT_NE(it, classes.end()) << "row " << row;
        const DatabasePoint& point = *p;
        EXPECT_EQ(typeid(point), *it->second) << "row " << row;
        EXPECT_EQ(p->GetRow(), row);
    }
    EXPECT_EQ(DBPointFactory::Create(1359), nullptr);
}

// --- through the message layer, against the simulated analyzer ----------------------------

class PointDeviceTest : public PointsTest {
protected:
    sim::AnalyzerCore analyzer;
    SimEngine engine{&analyzer};
    FakePrompter prompter;

    void LogOn() { RosettaManager::Instance()->LoadForVersion("17041417"); }
};

TEST_F(PointDeviceTest, BeforeLogonOnlyTheVersionHasAnAddress)
{
    U8DatabasePoint streams(64);
    FloatDatabasePoint invalid(1400);
    EXPECT_EQ(streams.DeviceAddress(), -1);
    streams.Read();
    streams.SetText("2");
    EXPECT_EQ(streams.Write(), -1);
    EXPECT_EQ(analyzer.RequestCount(), 0);

    analyzer.SetValue(sim::Row{0}, 17041417);
    U32DatabasePoint version(0);
    EXPECT_EQ(version.DeviceAddress(), 0);
    version.Read();
    ASSERT_EQ(analyzer.RequestCount(), 1);
    EXPECT_EQ(analyzer.Requests()[0], QByteArray::fromHex("04 01 0000"));
    EXPECT_EQ(version.GetText(), "17041417");

    // An invalid point never gets an address, not even the row of DbId 0.
    LogOn();
    EXPECT_EQ(invalid.DeviceAddress(), -1);
    EXPECT_EQ(invalid.Write(), -1);
    EXPECT_EQ(streams.DeviceAddress(), 64);
    EXPECT_EQ(analyzer.RequestCount(), 1);
}

TEST_F(PointDeviceTest, ReadSetsBothValuesAndTellsObservers)
{
    LogOn();
    analyzer.SetValue(sim::DbId{284}, 1.5);
    FloatDatabasePoint bypass(66);
    RecordingObserver o;
    bypass.Attach(&o);
    bypass.SetText("9");
    bypass.Read();
    EXPECT_EQ(analyzer.Requests().back(), QByteArray::fromHex("04 01 4200"));
    EXPECT_EQ(bypass.GetText(), "1.5");
    EXPECT_FALSE(bypass.IsChanged());
    EXPECT_EQ(o.seen, std::vector<std::string>{"1.5"});
}

TEST_F(PointDeviceTest, FailedReadKeepsBothValues)
{
    LogOn();
    struct Case {
        const char* name;
        std::unique_ptr<DatabasePoint> point;
        sim::Fault fault;
        int code;
    };
    Case cases[] = {{"float, no answer", std::make_unique<FloatDatabasePoint>(66), sim::Fault::Silence, 4},
                    {"float, refused", std::make_unique<FloatDatabasePoint>(66), sim::Fault::Reject, 3},
                    {"u8, no answer", std::make_unique<U8DatabasePoint>(64), sim::Fault::Silence, 4},
                    {"text, no answer", std::make_unique<StringDatabasePoint>(2), sim::Fault::Silence, 4}};
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingObserver o;
        c.point->Attach(&o);
        c.point->SetInitialText("7");
        c.point->SetText("8");
        analyzer.FailNext(c.fault);
        try {
            c.point->Read();
            ADD_FAILURE() << "the failure must reach the caller";
        } catch (int code) {
            EXPECT_EQ(code, c.code);
        }
        EXPECT_EQ(c.point->GetText(), "8");
        EXPECT_TRUE(c.point->IsChanged());   // the device value is still 7
        EXPECT_TRUE(o.seen.empty());
        c.point->Detach(&o);
    }
}

TEST_F(PointDeviceTest, WriteSendsTheEditedValue)
{
    LogOn();
    struct Case {
        const char* name;
        std::unique_ptr<DatabasePoint> point;
        const char* text;
        QByteArray request;
        QByteArray unitHolds;   // the simulated unit's text of the value afterwards
    };
    Case cases[] = {
        {"u8 streams", std::make_unique<U8DatabasePoint>(64), "2", QByteArray::fromHex("08 04 4000 02000000"), "2"},
        {"float", std::make_unique<FloatDatabasePoint>(66), "-2", QByteArray::fromHex("08 04 4200 000000c0"), "-2"},
        {"bool", std::make_unique<BoolDatabasePoint>(1358), "yes", QByteArray::fromHex("08 04 4e05 01000000"), "True"},
        {"bits16", std::make_unique<Bits16DatabasePoint>(10), "65535", QByteArray::fromHex("08 04 0a00 ffff0000"),
         "65535"},
        {"text", std::make_unique<StringDatabasePoint>(2), "ab", QByteArray::fromHex("07 06 0200 02 6162"), "ab"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingObserver o;
        c.point->Attach(&o);
        c.point->SetText(c.text);
        ASSERT_TRUE(c.point->IsChanged());
        EXPECT_EQ(c.point->Write(), 0);
        EXPECT_EQ(analyzer.Requests().back().toHex(' '), c.request.toHex(' '));
        EXPECT_EQ(analyzer.ValueText(sim::Row{c.point->GetRow()}), c.unitHolds);
        EXPECT_FALSE(c.point->IsChanged());
        EXPECT_EQ(o.seen, std::vector<std::string>{c.point->GetText()});
        c.point->Detach(&o);
    }
}

TEST_F(PointDeviceTest, FailedWriteLeavesThePointChanged)
{
    LogOn();
    U16DatabasePoint purge(8);
    purge.SetText("30");
    for (sim::Fault fault : {sim::Fault::WrongType, sim::Fault::Silence, sim::Fault::Reject}) {
        analyzer.FailNext(fault);
        EXPECT_THROW(purge.Write(), int);
        EXPECT_TRUE(purge.IsChanged());
        EXPECT_EQ(purge.GetText(), "30");
    }
    // A read-only point is refused by the unit: the failure is reported, not swallowed.
    U32DatabasePoint firmware(1);
    firmware.SetText("5");
    try {
        firmware.Write();
        ADD_FAILURE() << "a refused write must raise";
    } catch (int code) {
        EXPECT_EQ(code, 3);
    }
    EXPECT_TRUE(firmware.IsChanged());
}

TEST_F(PointDeviceTest, TextPoints)
{
    LogOn();
    StringDatabasePoint id(2);
    // A text longer than the unit holds goes out cut to 20 characters; both texts then hold
    // what the unit holds.
    id.SetText("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    id.Write();
    EXPECT_EQ(analyzer.Requests().back(), QByteArray::fromHex("19 06 0200 14") + QByteArray("ABCDEFGHIJKLMNOPQRST"));
    EXPECT_EQ(analyzer.Text(sim::Row{2}), "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(id.GetText(), "ABCDEFGHIJKLMNOPQRST");
    EXPECT_FALSE(id.IsChanged());

    // A failed write loses nothing of the edit.
    id.SetText("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    analyzer.FailNext(sim::Fault::Silence);
    EXPECT_THROW(id.Write(), int);
    EXPECT_EQ(id.GetText(), "ABCDEFGHIJKLMNOPQRSTUVWXYZ");

    // Reads: the unit's text; a reply longer than 20 characters leaves the text.
    analyzer.SetText(sim::Row{2}, "K41");
    id.Read();
    EXPECT_EQ(id.GetText(), "K41");
    analyzer.SetText(sim::Row{2}, "other");
    analyzer.FailNext(sim::Fault::TextTooLong);
    id.Read();
    EXPECT_EQ(id.GetText(), "K41");
    // ... and an edit waiting to be written stays an edit.
    id.SetText("North");
    analyzer.FailNext(sim::Fault::TextTooLong);
    id.Read();
    EXPECT_EQ(id.GetText(), "North");
    EXPECT_EQ(id.DeviceText(), "K41");
    EXPECT_TRUE(id.IsChanged());
}

// Every point of the catalogue, through the message layer to the unit and back: the widths and
// encodings of every type agree with the unit's.
TEST_F(PointDeviceTest, EveryPointRoundTrip)
{
    LogOn();
    std::vector<std::unique_ptr<DatabasePoint>> points;
    RosettaInterface& c = *RosettaManager::Instance()->Catalogue();
    for (int row = 0; row < c.Count(); ++row) points.push_back(DBPointFactory::Create(static_cast<uint16_t>(row)));

    auto sample = [](const DatabasePoint& p) -> std::string {
        const int row = p.GetRow();
        switch (p.GetTypeCode()) {
        case 0: return row % 2 ? "-12.25" : "3500.5";
        case 8: case 9: case 10: case 11: case 12: return row % 2 ? "True" : "False";
        case 13: return "T" + std::to_string(row);
        case 21: return std::to_string(40000 + row);
        case 22: return row % 2 ? "-5" : std::to_string(70000 + row);
        case 1: case 19: case 20: return std::to_string(3000000000u + row);
        case 2: return std::to_string(60000 + row);
        default: return std::to_string((row * 7) % 256);
        }
    };

    int written = 0;
    for (auto& p : points) {
        if (!p->IsWritable()) continue;
        p->SetText(sample(*p));
        ASSERT_NO_THROW(p->Write()) << p->GetName();
        ++written;
    }
    EXPECT_EQ(written, 1075);

    for (int row = 0; row < c.Count(); ++row) {
        auto fresh = DBPointFactory::Create(static_cast<uint16_t>(row));
        if (!fresh->IsWritable()) continue;
        ASSERT_NO_THROW(fresh->Read()) << fresh->GetName();
        EXPECT_EQ(fresh->GetText(), points[row]->GetText()) << fresh->GetName();
        EXPECT_EQ(analyzer.ValueText(sim::Row{row}).toStdString(), fresh->GetText()) << fresh->GetName();
    }
}

}  // namespace
