// The Global page against the simulated analyzer, and the tape and furnace conversions.
#include "brannix/qcheckbox.h"
#include "brannix/qstatusbar.h"
#include "brannix/qlabelededit.h"
#include "brannix/qstatusbar.h"
#include "platform/data_folder.h"
#include "tests/common/file_size_limit.h"
#include "tests/pages/page_point_orders.h"
#include "tests/pages/page_session.h"
#include "tevrin/pages/config/fra_analyzer_global.h"
#include "tevrin/pages/config/tape_conversions.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/shell/main_form.h"
#include "ui_fra_analyzer_global.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace tapeconv;

namespace {

TEST(TapeConversions, TheConstantsAndRoundingGiveTheShownTexts)
{
    // Stain width per pulse from a diameter: single precision, shown with its own digits.
    EXPECT_EQ(GeneralFloatText(PerPulseAdvance(1, true)), QStringLiteral("0.00102265388704836"));
    EXPECT_EQ(PerPulseAdvance(1, true), static_cast<float>(3.1415926 / 12 / 256));
    EXPECT_EQ(PerPulseAdvance(25.4, false), static_cast<float>(25.4 * 3.1415926 * 0.001 / 256));
    const struct {
        double perPulse;
        bool imperial;
        const char* diameter;
    } kDiameters[] = {
        {0.00102265388704836, true, "1.0000"},
        {static_cast<double>(PerPulseAdvance(25.4, false)), false, "25.4000"},
        {static_cast<double>(PerPulseAdvance(2.5, true)), true, "2.5000"},
        {0, true, "0.0000"},
    };
    for (const auto& c : kDiameters) EXPECT_EQ(DiameterText(c.perPulse, c.imperial), QString::fromLatin1(c.diameter));

    const struct {
        double value;
        int decimals;
        const char* text;
    } kFixed[] = {{30.48, 2, "30.48"}, {0.125, 2, "0.13"}, {-0.001, 2, "0.00"}, {25.4, 4, "25.4000"}, {7, 0, "7"}};
    for (const auto& c : kFixed) EXPECT_EQ(FixedText(c.value, c.decimals), QString::fromLatin1(c.text)) << c.value;

    // Furnace core temperature, truncated toward zero; and the way back.
    const struct {
        double width;
        bool supply110;
        int temperature;
    } kFurnace[] = {{0, true, 43}, {80, true, 1144}, {10, true, 329}, {0, false, 49}, {10, false, 697}, {30, false, 1198}};
    for (const auto& c : kFurnace)
        EXPECT_EQ(FurnaceCoreTemperature(c.width, c.supply110), c.temperature) << c.width << " " << c.supply110;
    EXPECT_EQ(FurnacePulseWidthLimit(true), 75);
    EXPECT_EQ(FurnacePulseWidthLimit(false), 30);
    EXPECT_NEAR(FurnacePulseWidth(1000), 40 - 9 + 31 - 1.1359, 1e-9);
}

TEST(TapeConversions, UnitSwitchesNeverDrift)
{
    // Tape alarm limit: 33 ft to metres and back, ten times over, is 33 ft again.
    UnitSwitchedValue length(kMetrePerFoot, kFeetPerMetre, 2);
    QString shown = QStringLiteral("33");
    for (int i = 0; i < 10; ++i) {
        ASSERT_TRUE(length.Switch(shown, true, shown));
        EXPECT_EQ(shown, QStringLiteral("10.06"));
        ASSERT_TRUE(length.Switch(shown, false, shown));
        EXPECT_EQ(shown, QStringLiteral("33"));
    }
    // A value read in metres goes to feet and back unchanged as well.
    UnitSwitchedValue fromMetric(kMetrePerFoot, kFeetPerMetre, 2);
    QString metres = QStringLiteral("10.06");
    ASSERT_TRUE(fromMetric.Switch(metres, false, metres));
    EXPECT_EQ(metres, QStringLiteral("33.01"));
    ASSERT_TRUE(fromMetric.Switch(metres, true, metres));
    EXPECT_EQ(metres, QStringLiteral("10.06"));

    // A text typed after a switch starts again from what was typed.
    ASSERT_TRUE(length.Switch(QStringLiteral("100"), true, shown));
    EXPECT_EQ(shown, QStringLiteral("30.48"));
    ASSERT_TRUE(length.Switch(QStringLiteral("30"), false, shown));
    EXPECT_EQ(shown, QStringLiteral("98.43"));

    // Diameters: 1 inch is 25.4000 mm and back 1 inch; 1.2345 in returns exactly.
    UnitSwitchedValue diameter(kMmPerInch, kInchPerMm, 4);
    QString d = QStringLiteral("1.2345");
    ASSERT_TRUE(diameter.Switch(d, true, d));
    EXPECT_EQ(d, QStringLiteral("31.3563"));
    ASSERT_TRUE(diameter.Switch(d, false, d));
    EXPECT_EQ(d, QStringLiteral("1.2345"));

    // Not a number: nothing shown changes.
    QString untouched = QStringLiteral("keep");
    EXPECT_FALSE(diameter.Switch(QStringLiteral("abc"), true, untouched));
    EXPECT_EQ(untouched, QStringLiteral("keep"));
}

// The page of a logged-on session, shown after the unit got the given values.
class GlobalPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A unit holds a trend filter length in its range (1 to 10).
        session.unit.SetValue(sim::DbId{34}, 4);
        ASSERT_TRUE(session.LogOn(true));
        page = static_cast<TfraAnalyzerGlobal*>(session.Form().Frame(MainPage::Global));
        ui = page->form();
    }
    void TearDown() override { QFile::remove(platform::UserDataFile(QStringLiteral("dispPlace.cfg"))); }
    void ShowPage() { session.ShowAfresh(MainPage::Global); }
    TQCheckBox* Box(const char* name) const { return page->findChild<TQCheckBox*>(QString::fromLatin1(name)); }
    void PageWrite() { session.Form().tbtnWriteClick(); }

    pagetest::PageSession session;
    TfraAnalyzerGlobal* page = nullptr;
    Ui::TfraAnalyzerGlobal* ui = nullptr;
};

TEST_F(GlobalPageTest, RegistersItsFiftyPointsInOrderWhateverTheStreamCount)
{
    const std::vector<int>& expected = pagetest::PointsOf(2);
    ASSERT_EQ(expected.size(), 50u);
    const struct {
        int streams;
        const char* caption;
    } kCounts[] = {{0, "1-STREAM"}, {1, "2-STREAMS"}, {3, "4-STREAMS"}};
    for (const auto& c : kCounts) {
        SCOPED_TRACE(c.streams);
        session.unit.SetValue(sim::DbId{20}, c.streams);
        ShowPage();
        EXPECT_EQ(pagetest::PageSession::RegisteredPoints(), expected);
        EXPECT_EQ(DataBase::Instance()->AsExpressScan().CurrentPage(), 2);
        EXPECT_EQ(session.Form().StreamDisp()->text(), QString::fromLatin1(c.caption));
        EXPECT_EQ(session.WriteRequests(), 0);
    }
}

TEST_F(GlobalPageTest, ValuesArriveShapedAndWriteNothingBack)
{
    session.unit.SetValue(sim::DbId{507}, 386143255);
    session.unit.SetValue(sim::DbId{284}, 1234);
    session.unit.SetValue(sim::DbId{14}, 1);    // high temperature alarm enabled
    session.unit.SetValue(sim::DbId{17}, 0);    // sensor current alarm disabled
    session.unit.SetValue(sim::DbId{19}, 0x0102);
    session.unit.SetValue(sim::DbId{1435}, 1u << 14);
    ShowPage();
    EXPECT_EQ(ui->FirmwareVersion->text(), QStringLiteral("17041417"));
    EXPECT_EQ(ui->edtBypassTimeoutActions->text(), QStringLiteral("1.23399996757507"));
    // An enabled alarm's actions are locked, a disabled one's open, by the value that arrived.
    EXPECT_TRUE(ui->grpGlobalAlarms->findChild<QCheckBox*>(QStringLiteral("ckAlarmSensorTemp"))->isChecked());
    EXPECT_FALSE(Box("ckAlmSensorTempR1")->isEnabled());
    EXPECT_TRUE(Box("ckAlmSensorCurrR2")->isEnabled());
    EXPECT_TRUE(Box("ckAlmSensorCurrR2")->isChecked());
    EXPECT_TRUE(Box("ckAlmSensorCurrS1")->isChecked());
    EXPECT_FALSE(Box("ckAlmSensorCurrR1")->isChecked());
    EXPECT_TRUE(page->findChild<QCheckBox*>(QStringLiteral("chkAutoTempCalTriggerREF3"))->isChecked());
    // Reading twice more changes boxes back and forth: still nothing is written.
    session.unit.SetValue(sim::DbId{19}, 0);
    session.Form().tbtnPollClick();
    EXPECT_FALSE(Box("ckAlmSensorCurrR2")->isChecked());
    session.Form().tbtnPollClick();
    EXPECT_EQ(session.WriteRequests(), 0);

    // The bypass timeout goes back as milliseconds, unchanged: a page write sends nothing.
    PageWrite();
    EXPECT_EQ(session.WrittenDbIds(), std::vector<int>{});
    EXPECT_EQ(session.unit.Value(sim::DbId{284}), 1234);
}

TEST_F(GlobalPageTest, AnEditIsWrittenAndNothingElse)
{
    session.unit.SetValue(sim::DbId{15}, 45);
    ShowPage();
    ui->ledSite->setText(QStringLiteral("NORTH"));
    page->alarms()[1].limit->setText(QStringLiteral("55.5"));
    PageWrite();
    EXPECT_EQ(session.WrittenDbIds(), (std::vector<int>{1, 15}));
    EXPECT_EQ(session.unit.Text(sim::DbId{1}), QByteArray("NORTH"));
    EXPECT_FLOAT_EQ(session.unit.Value(sim::DbId{15}), 55.5f);
}

// The tape remaining holds more digits than its six-digit text shows, and the unit moves it on
// while the page stands unpolled: a page write for another field leaves it to the unit, an edit
// of its own is written.
TEST_F(GlobalPageTest, TapeRemainingTheUnitMovedOnIsWrittenOnlyWhenEdited)
{
    const sim::DbId tape{520};
    const struct {
        const char* site;
        const char* typed;   // nullptr: only the site is edited
        std::vector<int> written;
    } kCases[] = {
        {"NORTH", nullptr, {1}},
        {"SOUTH", "299.3", {1, 520}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.typed ? c.typed : "site only");
        ASSERT_TRUE(session.unit.IsLiving());
        session.unit.SetValue(tape, 299.200208);
        ShowPage();
        ASSERT_EQ(ui->edtTape->text(), QStringLiteral("299.2"));
        ASSERT_NE(static_cast<float>(session.unit.Value(tape)), 299.2f);   // more than the text shows

        session.unit.AdvanceTime(sim::AnalyzerCore::LivingRunSeconds());
        const double movedOn = session.unit.Value(tape);
        ASSERT_LT(movedOn, 299.2);
        EXPECT_EQ(ui->edtTape->text(), QStringLiteral("299.2"));   // the page is not polled

        DataBase::Instance()->AsWriteLogRecordsManager().Clear();
        ui->ledSite->setText(QString::fromLatin1(c.site));
        if (c.typed) ui->edtTape->setText(QString::fromLatin1(c.typed));
        PageWrite();
        EXPECT_EQ(session.WrittenDbIds(), c.written);
        EXPECT_EQ(DataBase::Instance()->AsWriteLogRecordsManager().Contains(520), c.typed != nullptr);
        if (c.typed) {
            EXPECT_FLOAT_EQ(session.unit.Value(tape), QString::fromLatin1(c.typed).toFloat());
        } else {
            EXPECT_EQ(session.unit.Value(tape), movedOn);
        }
    }
}

TEST_F(GlobalPageTest, ActionAndEnableBoxesWriteTheirPointAtOnce)
{
    session.unit.SetValue(sim::DbId{19}, 0x0100);
    session.unit.SetValue(sim::DbId{17}, 0);
    ShowPage();
    Box("ckAlmSensorCurrR2")->click();
    EXPECT_EQ(session.WrittenDbIds(), std::vector<int>{19});
    EXPECT_EQ(session.unit.Value(sim::DbId{19}), 0x0102);
    Box("ckAlmSensorCurrR2")->click();
    EXPECT_EQ(session.unit.Value(sim::DbId{19}), 0x0100);

    session.unit.ClearLog();
    page->alarms()[2].enable->click();
    EXPECT_EQ(session.WrittenDbIds(), std::vector<int>{17});
    EXPECT_EQ(session.unit.Value(sim::DbId{17}), 1);

    // Another page current: the same clicks send nothing.
    session.Show(MainPage::Analysis);
    session.unit.ClearLog();
    page->alarms()[2].enable->click();
    Box("ckAlmSensorCurrR3")->click();
    EXPECT_EQ(session.WriteRequests(), 0);
}

TEST_F(GlobalPageTest, TapeUnitsSwitchWithoutDriftAndReachTheUnitWithThePageWrite)
{
    session.unit.SetValue(sim::DbId{85}, 0);
    session.unit.SetValue(sim::DbId{517}, 3);
    session.unit.SetValue(sim::DbId{514}, 33);
    ShowPage();
    ui->CapstanDiameter->setText(QStringLiteral("1"));
    page->btnSWPAcceptClick();
    EXPECT_EQ(ui->AdvanceLength->text(), QStringLiteral("0.00102265388704836"));
    EXPECT_EQ(ui->StainWidth->text(), GeneralFloatText(0.00102265388704836 * 3));
    EXPECT_EQ(session.WriteRequests(), 0);

    ui->rdMetric->click();
    EXPECT_EQ(ui->CapstanDiameter->text(), QStringLiteral("25.4000"));
    EXPECT_EQ(ui->CapstanDiameter->EditLabelCaption(), QStringLiteral("Capstan Diameter (mm)"));
    EXPECT_EQ(page->alarms()[6].limit->text(), QStringLiteral("10.06"));
    EXPECT_EQ(page->alarms()[6].enable->text(), QStringLiteral("Tape Length Remaining (meter)"));
    ui->rdMetric->click();   // already metric: nothing converts again
    EXPECT_EQ(page->alarms()[6].limit->text(), QStringLiteral("10.06"));
    ui->rdImperial->click();
    EXPECT_EQ(ui->CapstanDiameter->text(), QStringLiteral("1"));
    EXPECT_EQ(page->alarms()[6].limit->text(), QStringLiteral("33"));
    EXPECT_EQ(ui->AdvanceLength->text(), QStringLiteral("0.00102265388704836"));

    ui->rdMetric->click();
    PageWrite();
    EXPECT_EQ(session.unit.Value(sim::DbId{85}), 1);
    EXPECT_FLOAT_EQ(session.unit.Value(sim::DbId{514}), 10.06f);
    EXPECT_FLOAT_EQ(session.unit.Value(sim::DbId{516}), PerPulseAdvance(25.4, false));
}

TEST_F(GlobalPageTest, TheUnitPointSetsTheViewAndConvertsNothing)
{
    session.unit.SetValue(sim::DbId{85}, 1);
    session.unit.SetValue(sim::DbId{517}, 2);
    session.unit.SetValue(sim::DbId{516}, PerPulseAdvance(25.4, false));
    session.unit.SetValue(sim::DbId{514}, 12.5);
    ShowPage();
    EXPECT_TRUE(ui->rdMetric->isChecked());
    EXPECT_FALSE(ui->rdImperial->isChecked());
    // The diameter follows the analyzer's own unit even though the unit point arrives last.
    EXPECT_EQ(ui->CapstanDiameter->text(), QStringLiteral("25.4000"));
    EXPECT_EQ(ui->CapstanDiameter->EditLabelCaption(), QStringLiteral("Capstan Diameter (mm)"));
    EXPECT_EQ(page->alarms()[6].limit->text(), QStringLiteral("12.5"));
    EXPECT_EQ(session.WriteRequests(), 0);
}

TEST_F(GlobalPageTest, TapeLengthResetWritesOnlyWhileLoggedOn)
{
    ShowPage();
    ui->edtTapeLengthReset->setText(QStringLiteral("250"));
    page->btnTapeLengthResetClick();
    EXPECT_EQ(session.WrittenDbIds(), std::vector<int>{520});
    EXPECT_FLOAT_EQ(session.unit.Value(sim::DbId{520}), 250);
    session.Form().tbtnLogoffClick();
    session.unit.ClearLog();
    page->btnTapeLengthResetClick();
    EXPECT_EQ(session.WriteRequests(), 0);
}

TEST_F(GlobalPageTest, DecimalPlacesGoToTheirFileWhole)
{
    ShowPage();
    ui->cbDispPlace->setCurrentIndex(3);
    emit ui->cbDispPlace->activated(3);
    QFile file(platform::UserDataFile(QStringLiteral("dispPlace.cfg")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("3"));
    file.close();
    ShowPage();
    EXPECT_EQ(ui->cbDispPlace->currentIndex(), 3);
    EXPECT_EQ(session.WriteRequests(), 0);
}

TEST_F(GlobalPageTest, DecimalPlacesThatCannotBeSavedKeepTheOldFileAndSayWhy)
{
    ShowPage();
    ui->cbDispPlace->setCurrentIndex(2);
    emit ui->cbDispPlace->activated(2);
    const QString path = platform::UserDataFile(QStringLiteral("dispPlace.cfg"));
    {
        testsupport::FileSizeLimit full(0);
        ui->cbDispPlace->setCurrentIndex(4);
        emit ui->cbDispPlace->activated(4);
    }
    EXPECT_EQ(session.Form().StatusLine()->PanelText(0),
              QStringLiteral("The decimal places could not be saved to \"dispPlace.cfg\": File too large"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("2"));
    EXPECT_EQ(QDir(QFileInfo(path).path()).entryList({QStringLiteral("*dispPlace*")}, QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("dispPlace.cfg")});
}

TEST_F(GlobalPageTest, LocalCalculationsAndLimits)
{
    EXPECT_FALSE(ui->grpFurnace->isVisibleTo(page));
    EXPECT_FALSE(ui->grpGainCalculator->isVisibleTo(page));
    const struct {
        const char* gas;
        const char* reading;
        const char* gain;
        const char* result;
    } kCases[] = {{"50", "40", "1.2", "1.50"}, {"50", "0", "1.2", "0"}, {"50", "", "1.2", "0"}, {"10", "3", "1", "3.33"}};
    for (const auto& c : kCases) {
        ui->edtCalGas->setText(QString::fromLatin1(c.gas));
        ui->edtAnaReading->setText(QString::fromLatin1(c.reading));
        ui->edtCurrGainFactor->setText(QString::fromLatin1(c.gain));
        emit ui->edtCurrGainFactor->textEdited(ui->edtCurrGainFactor->text());
        EXPECT_EQ(ui->edtNewGainFactor->text(), QString::fromLatin1(c.result)) << c.gas << "/" << c.reading;
    }
    // Enter in the pulse width box, typed: above the supply's limit the temperature is shown
    // all the same, then the warning; the box's own range check does not swallow the key.
    const struct {
        bool supply110;
        const char* width;
        const char* temperature;
        const char* warning;
    } kFurnace[] = {
        {true, "80", "1144", "The valid input range should be between 0 and 75.\nFor more information, please contact Torquine."},
        {true, "50", "876", ""},
        {false, "31", "1235", "The valid input range should be between 0 and 30.\nFor more information, please contact Torquine."},
    };
    for (const auto& c : kFurnace) {
        SCOPED_TRACE(c.width);
        session.prompter.prompts.clear();
        (c.supply110 ? ui->rb110 : ui->rb220)->setChecked(true);
        ui->FCT->clear();
        ui->edFurancePulseWidth->setText(QString::fromLatin1(c.width));
        QTest::keyClick(ui->edFurancePulseWidth, Qt::Key_Return);
        EXPECT_EQ(ui->FCT->text(), QString::fromLatin1(c.temperature));
        EXPECT_EQ(ui->edFurancePulseWidth->text(), QString::fromLatin1(c.width));
        EXPECT_EQ(session.prompter.Texts().join(QStringLiteral("|")), QString::fromLatin1(c.warning));
    }
    ui->rb110->setChecked(true);

    // A typed diameter that is no number is reported and changes nothing.
    ui->AdvanceLength->setText(QStringLiteral("0.001"));
    ui->CapstanDiameter->setText(QStringLiteral("1,5"));
    page->btnSWPAcceptClick();
    EXPECT_EQ(session.prompter.prompts.back().text, QStringLiteral("'1,5' is not a valid floating point value"));
    EXPECT_EQ(ui->AdvanceLength->text(), QStringLiteral("0.001"));
}

// The trend filter length is clamped at 10 whenever its text changes: typed, or read from an
// analyzer that holds more. A value the control's range check refuses stops the page write, and
// the status line names the field and the reason.
TEST_F(GlobalPageTest, TrendFilterLengthIsClampedAlsoWhenReadAndARefusedWriteNamesTheField)
{
    session.unit.SetValue(sim::DbId{34}, 25);
    ShowPage();
    EXPECT_EQ(ui->TrendFilterLength->text(), QStringLiteral("10"));
    PageWrite();
    EXPECT_EQ(session.unit.Value(sim::DbId{34}), 10);
    EXPECT_EQ(session.Form().StatusLine()->PanelText(0), QString());

    ui->TrendFilterLength->setText(QStringLiteral("25"));   // typed
    EXPECT_EQ(ui->TrendFilterLength->text(), QStringLiteral("10"));

    // The write below starts with the link idle (its notice comes a tick after the last exchange).
    ASSERT_TRUE(session.PumpUntilLinkIdle());
    session.unit.ClearLog();
    ui->ledSite->setText(QStringLiteral("NORTH"));
    ui->TrendFilterLength->setText(QStringLiteral("0.5"));   // left to the range check
    PageWrite();
    EXPECT_EQ(session.WriteRequests(), 0);
    EXPECT_EQ(session.Form().StatusLine()->PanelText(0),
              QStringLiteral("Trend Filter Length: Out of range.  Range is 1 to 10."));
}

}  // namespace
