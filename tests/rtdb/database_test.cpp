// The real-time database as a whole: construction, logon (Connect), the controls' and pages'
// edits with their translations, single-point reads and writes, and the singleton's life.
#include "tests/rtdb/database_fixture.h"

#include "platform/errors.h"
#include "pollard/pollard_api.h"
#include "tevrin/rtdb/rosetta.h"
#include "tevrin/rtdb/version_state.h"

using dbtest::DatabaseTest;
using dbtest::RequestAddress;

namespace {

TEST_F(DatabaseTest, HoldsOnePointPerCatalogueRowFoundByRowAndByDbId)
{
    ASSERT_EQ(db->PointCount(), rosetta::kCatalogueRowCount);
    int withPoint = 0;
    for (int row = 0; row < rosetta::kCatalogueRowCount; ++row) {
        DatabasePoint* p = db->PointByIndex(row);
        if (!p) continue;
        ++withPoint;
        EXPECT_EQ(p->GetRow(), row);
        EXPECT_EQ(db->PointByDbId(static_cast<TDbId>(rosetta::kCatalogueRows[row].dbId)), p) << row;
    }
    EXPECT_EQ(withPoint, rosetta::kCatalogueRowCount);   // every type of this catalogue has a class
    EXPECT_EQ(db->PointByIndex(rosetta::kCatalogueRowCount), nullptr);
    EXPECT_EQ(db->PointByIndex(-1), nullptr);
    EXPECT_TRUE(db->IsOffline());
}

TEST_F(DatabaseTest, UnknownDbIdsGiveNeutralAnswersAndSendNothing)
{
    EXPECT_EQ(db->GetPointName(9999), "0");
    EXPECT_EQ(db->GetPointName(1), "Unit Site");
    EXPECT_EQ(db->Attach(9999, nullptr), 1);
    db->Detach(9999, nullptr);
    EXPECT_FALSE(db->IsWritable(9999));
    EXPECT_EQ(db->GetTypeCode(9999), 0);
    EXPECT_EQ(db->GetTypeCode(1), 13);
    EXPECT_EQ(db->GetPointNameByRow(rosetta::kCatalogueRowCount), "0");
    EXPECT_EQ(db->GetPointText(9999), "");
    db->PutText(9999, "5");
    db->SetPointText(9999, "5");

    EXPECT_EQ(db->ReadPoint(9999), kErrUnknownReadPoint);
    EXPECT_EQ(unit.RequestCount(), 0);

    // The write traces before it looks the point up.
    EXPECT_EQ(db->WritePoint(9999), kErrUnknownWritePoint);
    EXPECT_EQ(unit.RequestCount(), 0);
    EXPECT_EQ(TraceFile(), QByteArray(52, '-') + " \n");
}

TEST_F(DatabaseTest, ConnectOnTheKnownVersionReadsEverythingAndGoesOnline)
{
    unit.SetValueText(sim::DbId{1}, "North");
    unit.SetValue(sim::DbId{284}, 12.5);
    QByteArray sequencer(kSequencerBlockSize, '\0');
    sequencer[0] = 1;
    unit.SetSequencerBlock(sequencer);

    db->Connect();

    EXPECT_FALSE(db->IsOffline());
    EXPECT_EQ(VersionState::VersionKnown(), 1);
    EXPECT_TRUE(prompter.prompts.empty());
    EXPECT_EQ(Text(284), "12.5");
    EXPECT_TRUE(P(284)->IsValid());
    EXPECT_EQ(Text(1), "North");   // text points are read one by one
    EXPECT_TRUE(db->AsSequencer()->IsLoaded());
    EXPECT_EQ(db->AsSequencer()->Block()[0], 1);
    EXPECT_TRUE(db->AsTimerXManager()->IsLoaded());
    // The version first, the sequencer read twice (once in the full read, once after it).
    EXPECT_EQ(unit.Requests().front().at(1), 1);
    EXPECT_EQ(RequestAddress(unit.Requests().front()), 0);
    EXPECT_EQ(unit.RequestCount(60), 2);
    EXPECT_EQ(unit.RequestCount(64), 1);
    EXPECT_EQ(unit.RequestCount(18), 1);
}

TEST_F(DatabaseTest, ConnectOnAnotherVersionWarnsAndLeavesTheProgramReadOnly)
{
    unit.SetValue(sim::Row{0}, 17041418);
    db->Connect();

    ASSERT_EQ(prompter.prompts.size(), 1u);
    EXPECT_TRUE(prompter.prompts[0].text.startsWith("Unknow version of database was found!"));
    EXPECT_EQ(prompter.prompts[0].type, platform::DlgType::Warning);
    EXPECT_EQ(VersionState::VersionKnown(), 0);
    EXPECT_FALSE(db->IsOffline());   // still connected, the points were read
    EXPECT_GT(unit.RequestCount(50), 0);
}

TEST_F(DatabaseTest, AFailedConnectPassesTheCodeOnAndStaysOffline)
{
    unit.FailNext(sim::Fault::Silence);
    try {
        db->Connect();
        FAIL() << "Connect should throw";
    } catch (int code) {
        EXPECT_EQ(code, pollard_api::crNoResponse);
    }
    EXPECT_TRUE(db->IsOffline());

    // A failure in the middle of the full read: the points applied so far keep their values.
    unit.SetValue(sim::DbId{284}, 7);
    unit.AddFault({sim::Fault::Silence, 50, 1, 30});
    EXPECT_THROW(db->Connect(), int);
    EXPECT_TRUE(db->IsOffline());
    EXPECT_EQ(Text(284), "7");
}

TEST_F(DatabaseTest, ReadPointReadsOneValueAndMarksItValid)
{
    unit.SetValue(sim::DbId{138}, 4);
    db->Connect();   // loads the address map; stream 2 points are not part of the full read
    ASSERT_FALSE(P(138)->IsValid());
    unit.ClearLog();

    EXPECT_EQ(db->ReadPoint(138), 0);
    EXPECT_EQ(Text(138), "4");
    EXPECT_TRUE(P(138)->IsValid());
    ASSERT_EQ(unit.RequestCount(), 1);
    EXPECT_EQ(RequestAddress(unit.Requests()[0]), RowOf(138));
}

// --- the controls' and pages' edits ----------------------------------------------------------------

TEST_F(DatabaseTest, OfflinePutTextTranslatesAnalogOutputPositionsAndTheBypassTimeout)
{
    AnalogOutputCollection::Instance()->Build();
    ASSERT_GT(AnalogOutputCollection::Instance()->Count(), 2);
    const int atTwo = AnalogOutputCollection::Instance()->DbIdAt(2);

    struct Case {
        TDbId id;
        const char* text;
        std::string stored;
    };
    const Case cases[] = {
        {50, "2", std::to_string(atTwo)},     // a stream 1 analog-output function
        {943, "2", std::to_string(atTwo)},    // stream 4 zero, AO 2
        {1262, "2", std::to_string(atTwo)},   // analog output 6 parameter
        {50, "100000", "65535"},              // no entry at that position
        {50, "-1", "65535"},
        {284, "2.5", "2500"},                 // seconds -> milliseconds
        {284, " 0.25 ", "250"},
        {20, "2", "2"},                       // any other point takes the text as it is
        {1, "Shed 3", "Shed 3"},
    };
    for (const Case& c : cases) {
        db->PutText(c.id, c.text);
        EXPECT_EQ(Text(c.id), c.stored) << c.id << " " << c.text;
    }
    EXPECT_TRUE(db->AnyChanged());
}

TEST_F(DatabaseTest, TranslatedPointsRefuseTextsThatAreNotNumbers)
{
    AnalogOutputCollection::Instance()->Build();
    const struct {
        TDbId id;
        const char* text;
    } cases[] = {{1247, "abc"}, {1247, "2x"}, {1247, ""}, {50, "1.5"}, {284, "2,5"}, {284, "abc"}, {284, ""}};
    for (const auto& c : cases) {
        const std::string before = Text(c.id);
        EXPECT_THROW(db->PutText(c.id, c.text), EConvertError) << c.id << " '" << c.text << "'";
        EXPECT_EQ(Text(c.id), before);
    }
    EXPECT_FALSE(db->AnyChanged());
}

TEST_F(DatabaseTest, OnlinePutTextTakesOnlyValidPointsOfThePageNowShowing)
{
    db->Connect();
    ExpressScan& page = db->AsExpressScan();
    page.Clear();
    page.Add(138);   // stream 2 sample delay: not read at logon, so not valid yet
    page.SetPage(3, 0, 1);

    db->PutText(284, "9");   // valid, but not on the page
    EXPECT_EQ(Text(284), "0");
    db->PutText(138, "9");   // on the page, not valid
    EXPECT_EQ(Text(138), "0");

    db->SetValid(138);
    db->PutText(138, "9");
    EXPECT_EQ(Text(138), "9");

    // After a log-off every point takes edits again (and none is valid).
    db->ClearValid();
    EXPECT_TRUE(db->IsOffline());
    EXPECT_FALSE(P(284)->IsValid());
    db->PutText(284, "3");
    EXPECT_EQ(Text(284), "3000");
}

TEST_F(DatabaseTest, SetPointTextNeedsAValidPointAndTranslatesTheBypassTimeoutOnlyOnPageThree)
{
    db->PutText(20, "1");   // offline edits are fine for controls ...
    db->SetPointText(20, "2");   // ... but a program-side edit needs a device value
    EXPECT_EQ(Text(20), "1");

    db->Connect();
    db->AsExpressScan().SetPage(2, 0, 1);
    db->SetPointText(284, "2.5");
    EXPECT_EQ(Text(284), "0");
    db->AsExpressScan().SetPage(3, 0, 1);
    db->SetPointText(284, "2.5");
    EXPECT_EQ(Text(284), "2500");

    AnalogOutputCollection::Instance()->Build();
    db->SetPointText(54, "0");
    EXPECT_EQ(Text(54), std::to_string(AnalogOutputCollection::Instance()->DbIdAt(0)));
    EXPECT_THROW(db->SetPointText(54, "x"), EConvertError);
}

// --- single-point writes -----------------------------------------------------------------------------

TEST_F(DatabaseTest, WritePointReportsAWriteThatSentNothing)
{
    db->Connect();
    const int sent = unit.RequestCount(4);

    // Read-only (Rosetta Version); not in a configuration group (a stream 2 point); not valid
    // (text points are read at logon but become valid with their page's read).
    EXPECT_EQ(db->WritePoint(500), kErrPointNotWritten);
    EXPECT_EQ(db->WritePoint(138), kErrPointNotWritten);
    db->PutText(1, "North");
    EXPECT_EQ(db->WritePoint(1), kErrPointNotRead);
    EXPECT_EQ(unit.RequestCount(4), sent);
    EXPECT_TRUE(db->AsWriteLogRecordsManager().IsEmpty());

    db->SetPointText(10, "42");
    EXPECT_EQ(db->WritePoint(10), 0);
    EXPECT_EQ(unit.Value(sim::DbId{10}), 42.0);
    EXPECT_FALSE(P(10)->IsChanged());
    EXPECT_EQ(db->AsWriteLogRecordsManager().Ids(), std::vector<int>{10});
}

TEST_F(DatabaseTest, WritePointListsOnlyThePointItWrote)
{
    db->Connect();
    db->SetPointText(10, "42");
    db->SetPointText(20, "1");
    EXPECT_EQ(db->WritePoint(20), 0);
    // 10 is traced as a pending change, but it was not sent and is not on the list.
    EXPECT_EQ(db->AsWriteLogRecordsManager().Ids(), std::vector<int>{20});
    EXPECT_TRUE(P(10)->IsChanged());
    EXPECT_TRUE(TraceFile().contains("10        Purge Time"));
}

TEST_F(DatabaseTest, BeforeTheFirstLogonPointsHaveNoAddressAndWritesSendNothing)
{
    db->SetValid(284);
    db->PutText(284, "1");
    EXPECT_EQ(db->WritePoint(284), kErrPointNotWritten);
    EXPECT_EQ(db->WriteChanges(), kErrPointNotWritten);
    EXPECT_EQ(unit.RequestCount(), 0);
    EXPECT_TRUE(db->AsWriteLogRecordsManager().IsEmpty());
}

// --- members and the singleton ----------------------------------------------------------------------

TEST_F(DatabaseTest, ConfigFileTypeIdIsAlwaysTwentyFiveCharacters)
{
    db->SetConfigFileTypeID("K41 Configuration");
    EXPECT_EQ(db->ConfigFileTypeID(), "K41 Configuration        ");
    db->SetConfigFileTypeID(std::string(30, 'x'));
    EXPECT_EQ(db->ConfigFileTypeID(), std::string(25, 'x'));
    db->SetTag16(0xBEEF);
    EXPECT_EQ(db->Tag16(), 0xBEEF);
}

TEST_F(DatabaseTest, DestroyInstanceFreesEverythingAndTheNextInstanceStartsAfresh)
{
    db->Connect();
    db->ArchiveData().assign(1000, 0xAA);
    db->EventData().assign(10, 1);
    db->LogRecord(2).Frequency = 60;
    EXPECT_EQ(db->ArchiveLength(), 1000u);
    db->FreeArchiveData();
    EXPECT_EQ(db->ArchiveLength(), 0u);
    EXPECT_FALSE(db->IsOffline());

    DataBase::DestroyInstance();
    EXPECT_FALSE(DataBase::Exists());
    DataBase::DestroyInstance();   // twice is harmless
    db = DataBase::Instance();
    EXPECT_TRUE(db->IsOffline());
    EXPECT_EQ(db->EventLength(), 0u);
    EXPECT_EQ(db->LogRecord(2).Frequency, 0);
    EXPECT_FALSE(P(284)->IsValid());
}

TEST_F(DatabaseTest, CapacityFiguresComeFromTheDatabasesOwnRecordsAndPoints)
{
    db->Connect();
    db->SetPointText(10, "10");   // purge
    db->SetPointText(25, "30");   // sample delay, interval, consecutive runs
    db->SetPointText(26, "60");
    db->SetPointText(46, "3");
    uint8_t* seq = db->AsSequencer()->Block();
    seq[1] = 1;   // one automatic entry: stream 0, sample
    seq[2] = 0;
    seq[3] = 0;
    EXPECT_FLOAT_EQ(db->AverageOnRunPeriod(), 280.0f);

    db->ResetLogIds();
    EXPECT_TRUE(db->LogIdsAreUnique());
    EXPECT_EQ(db->LogRecord(5).LogIdCode, 6);
    db->LogRecord(1).LogIdCode = 1;
    EXPECT_FALSE(db->LogIdsAreUnique());

    db->SetArchiveMemorySize(86400);
    db->LogRecord(1).ParametersInLog = 2;
    db->LogRecord(1).UniqueId[0] = 284;   // 4 bytes
    db->LogRecord(1).UniqueId[1] = 20;    // 1 byte
    EXPECT_GT(db->ComputeRunTimes(), 0);
    EXPECT_GT(db->RecordCapacity(1), 0u);
    EXPECT_EQ(db->RecordCapacity(0), 0u);
    EXPECT_EQ(db->CapacityText(0), "0");
}

TEST_F(DatabaseTest, CountsAndChangeQueries)
{
    int watch = 0;
    for (int row = 0; row < rosetta::kCatalogueRowCount; ++row) {
        const PointGroup* g = FindPointGroup(rosetta::kCatalogueRows[row].group);
        if (g && g->InWatchWindow) ++watch;
    }
    EXPECT_GT(watch, 0);
    EXPECT_EQ(db->CountFlaggedGroupPoints(), watch);
    EXPECT_FALSE(db->AnyChanged());
    db->PutText(rosetta::kCatalogueRows[rosetta::kCatalogueRowCount - 1].dbId & 0xFFFF, "True");
    EXPECT_TRUE(db->AnyChanged());   // the last row is asked as well
}

}  // namespace
