// The Factory page and its analog supply calibration frames: the factory logon, the settings
// read and written, the low-tape alarm and its actions, the four service actions, and the
// supply calibration's checks, steps and write order, against the simulated analyzer.
#include "brannix/qcheckbox.h"
#include "brannix/qcombobox.h"
#include "brannix/qlabel.h"
#include "brannix/qlabelededit.h"
#include "tests/pages/page_point_orders.h"
#include "tests/common/modal_answer.h"
#include "tests/pages/page_session.h"
#include "tests/pages/service_writes.h"
#include "tests/pages/kit/test_host.h"
#include "tevrin/pages/io/fra_factory.h"
#include "tevrin/pages/io/port_frame.h"
#include "tevrin/pages/io/supply_cal_frame.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/shell/logon_dlg.h"
#include "tevrin/shell/main_form.h"
#include "tevrin/shell/security_chk.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <vector>

namespace {

using pagetest::PageSession;

// --- the supply calibration's checks and steps ------------------------------------------------

TEST(SupplyCalibration, ChecksAndStepsByTable)
{
    using supplycal::Checked;
    const struct {
        const char* what;
        Checked (*run)(const QString&);
        const char* text;
        bool ok;
        const char* result;   // the text written, or a part of the reason
    } kCases[] = {
        {"voltage", [](const QString& t) { return supplycal::CheckVoltage("Output Voltage", t); }, "12.5", true, "12.5"},
        {"voltage", [](const QString& t) { return supplycal::CheckVoltage("Output Voltage", t); }, " 7 ", true, "7"},
        {"voltage", [](const QString& t) { return supplycal::CheckVoltage("Output Voltage", t); }, "", false,
         "Output Voltage \"\" is not a number. Nothing was written."},
        {"voltage", [](const QString& t) { return supplycal::CheckVoltage("Output Voltage", t); }, "12,5", false,
         "is not a number"},
        {"position", [](const QString& t) { return supplycal::CheckPosition("Output Raw", t); }, "0", true, "0"},
        {"position", [](const QString& t) { return supplycal::CheckPosition("Output Raw", t); }, "65535", true, "65535"},
        {"position", [](const QString& t) { return supplycal::CheckPosition("Output Raw", t); }, "65536", false,
         "Output Raw \"65536\" is not a count from 0 to 65535. Nothing was written."},
        {"position", [](const QString& t) { return supplycal::CheckPosition("Output Raw", t); }, "-1", false, "0 to 65535"},
        {"position", [](const QString& t) { return supplycal::CheckPosition("Output Raw", t); }, "12.5", false, "0 to 65535"},
        // Steps: a count stays within 0..65535, a voltage moves by 0.1 V without float dust.
        {"raw up", [](const QString& t) { return supplycal::StepPosition("Output Raw", t, 1); }, "40000", true, "40001"},
        {"raw up", [](const QString& t) { return supplycal::StepPosition("Output Raw", t, 1); }, "65535", true, "65535"},
        {"raw down", [](const QString& t) { return supplycal::StepPosition("Output Raw", t, -1); }, "0", true, "0"},
        {"raw down", [](const QString& t) { return supplycal::StepPosition("Output Raw", t, -10); }, "5", true, "0"},
        {"raw up", [](const QString& t) { return supplycal::StepPosition("Output Raw", t, 1); }, "70000", false, "0 to 65535"},
        {"volt up", [](const QString& t) { return supplycal::StepVoltage("Output Voltage", t, 1); }, "12.34", true, "12.44"},
        {"volt down", [](const QString& t) { return supplycal::StepVoltage("Output Voltage", t, -1); }, "0.1", true, "0"},
        {"volt down", [](const QString& t) { return supplycal::StepVoltage("Output Voltage", t, -3); }, "0", true, "-0.3"},
        {"volt up", [](const QString& t) { return supplycal::StepVoltage("Output Voltage", t, 1); }, "x", false,
         "is not a number"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(c.what) + " " + c.text);
        const Checked r = c.run(QString::fromLatin1(c.text));
        EXPECT_EQ(r.ok, c.ok);
        if (c.ok)
            EXPECT_EQ(r.text, QString::fromLatin1(c.result));
        else
            EXPECT_TRUE(r.why.contains(QString::fromLatin1(c.result))) << r.why.toStdString();
    }
    // Each supply has its own points.
    EXPECT_EQ(supplycal::IdsOf(1).raw, 1029);
    EXPECT_EQ(supplycal::IdsOf(2).bypassPosition, 1035);
    EXPECT_EQ(supplycal::IdsOf(2).description, 1204);
}

// The toggle, without an analyzer: what it makes usable; the arrows are never disabled and
// write whatever the toggle's state.
TEST(SupplyCalibration, ToggleMakesTheValuesUsableAndTheArrowsAlwaysStepAndWrite)
{
    FakePrompter prompter;
    pagetest::TestHost host(true);
    TfmAnalogSupply frame(2, nullptr);
    EXPECT_EQ(frame.btnCalibrateAS()->text(), QStringLiteral("Calibrate AS2"));
    EXPECT_EQ(frame.lblDescription()->text(), QStringLiteral("Supply 2 Description:"));
    EXPECT_EQ(frame.gbScaling()->title(), QStringLiteral("Analog Supply 2 Calibration"));
    const std::vector<QWidget*> usable = {frame.edOutputVoltage(), frame.edOutputRaw(), frame.edFailSafeCurrent(),
                                          frame.edFailSafePos(), frame.lblOutput(), frame.labFailSafe(),
                                          frame.btnCaptureCalibration()};
    const auto arrowsEnabled = [&frame] {
        for (int k = 1; k <= 4; ++k)
            if (!frame.UpDown(k)->isEnabled()) return false;
        return true;
    };
    for (QWidget* w : usable) EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_TRUE(arrowsEnabled());

    frame.edOutputRaw()->setText(QStringLiteral("100"));
    frame.UpDown(2)->stepBy(1);   // toggle up: the step still writes
    EXPECT_EQ(frame.edOutputRaw()->text(), QStringLiteral("101"));
    EXPECT_EQ(host.writes, std::vector<std::string>{"1037=101"});

    frame.btnCalibrateAS()->click();
    for (QWidget* w : usable) EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_TRUE(arrowsEnabled());
    frame.UpDown(2)->stepBy(1);
    EXPECT_EQ(frame.edOutputRaw()->text(), QStringLiteral("102"));

    frame.btnCalibrateAS()->click();
    for (QWidget* w : usable) EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_TRUE(arrowsEnabled());
    frame.edFailSafePos()->setText(QStringLiteral("500"));
    frame.UpDown(4)->stepBy(-1);
    EXPECT_EQ(host.writes, (std::vector<std::string>{"1037=101", "1037=102", "1035=499"}));
    EXPECT_TRUE(prompter.prompts.empty());
}

// --- the page on the simulated analyzer ---------------------------------------------------------

class FactoryPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (auto [id, text] : std::vector<std::pair<int, const char*>>{
                 {386, "12"},     {285, "250.5"},  {470, "True"},  {471, "1.25"},  {472, "30"},
                 {311, "4"},      {312, "7"},      {29, "1234"},   {1031, "12.5"}, {1029, "40000"},
                 {1030, "5"},     {1027, "1000"},  {1039, "15"},   {1037, "41000"}, {1038, "6"},
                 {1035, "2000"},  {511, "False"},  {512, "0"},     {1688, "3.5"},  {1689, "1.5"}})
            session.unit.SetValueText(sim::DbId{id}, text);
        session.unit.SetText(sim::DbId{1203}, "PUMP1");
        ASSERT_TRUE(session.LogOn(true)) << session.prompter.Texts().join(QStringLiteral(" | ")).toStdString();
        page = session.Form().fraFactory();
        ASSERT_NE(page, nullptr);
    }

    // Shows the tab and answers its logon with `code` (nullptr: Cancel).
    void ShowFactory(const char* code)
    {
        session.Show(MainPage::Timers);
        testsupport::AnsweringModals(
            [code](QWidget* modal) {
                if (auto* dialog = qobject_cast<TfrmLogon*>(modal)) {
                    if (code) {
                        dialog->ledPassword()->setText(QString::fromLatin1(code));
                        dialog->btnOK()->click();
                    } else {
                        dialog->btnCancel()->click();
                    }
                }
            },
            [this] { session.Show(MainPage::Factory); });
    }

    QWidget* Sensor() const { return page->findChild<QWidget*>(QStringLiteral("gbSensor")); }

    pagetest::PageSession session;
    TfraFactory* page = nullptr;
};

TEST_F(FactoryPageTest, TheFactoryCodeShowsTheSettingsReadFromTheAnalyzer)
{
    ShowFactory("wrong");
    EXPECT_TRUE(page->lblNotice()->isVisible());
    EXPECT_FALSE(Sensor()->isVisible());

    ShowFactory(SecurityChk::kFactoryCode);
    EXPECT_FALSE(page->lblNotice()->isVisible());
    EXPECT_TRUE(Sensor()->isVisible());
    EXPECT_FALSE(page->cbStreams()->isVisible());
    EXPECT_FALSE(page->QLabel1()->isVisible());
    EXPECT_EQ(PageSession::RegisteredPoints(), pagetest::PointsOf(8));
    EXPECT_EQ(DataBase::Instance()->AsExpressScan().CurrentPage(), 8);

    EXPECT_EQ(page->Edit("edtSampleBoxCarSize")->text(), QStringLiteral("12"));
    EXPECT_EQ(page->Edit("edtADCSampelRate")->text(), QStringLiteral("250.5"));
    EXPECT_EQ(page->Edit("RunCounter")->text(), QStringLiteral("1234"));
    EXPECT_EQ(page->Edit("txtColorCardPDG")->text(), QStringLiteral("1.5"));
    EXPECT_TRUE(page->findChild<TQCheckBox*>(QStringLiteral("chkDiffEnable"))->isChecked());
    // The sensor port shows its speed and cannot be edited.
    EXPECT_EQ(page->fraPortX()->cbBaudRate()->currentText(), QStringLiteral("4800"));
    EXPECT_FALSE(page->fraPortX()->isEnabled());
    EXPECT_EQ(page->fraPortX()->PortNumber(), 0);
    // The two supplies show their own points.
    EXPECT_EQ(page->fmAnalogSupply(1)->edOutputVoltage()->text(), QStringLiteral("12.5"));
    EXPECT_EQ(page->fmAnalogSupply(1)->edFailSafePos()->text(), QStringLiteral("1000"));
    EXPECT_EQ(page->fmAnalogSupply(1)->edASDesc()->text(), QStringLiteral("PUMP1"));
    EXPECT_EQ(page->fmAnalogSupply(2)->edOutputRaw()->text(), QStringLiteral("41000"));
    EXPECT_EQ(page->fmAnalogSupply(2)->edFailSafeCurrent()->text(), QStringLiteral("6"));

    // The page's stream-count label sets the four-caption text and shows nothing. (Every page's
    // watcher hears the point, so the page's label is asked directly.)
    for (auto [value, caption] : std::vector<std::pair<const char*, const char*>>{
             {"2", "3-STREAMS"}, {"0", "1-STREAM"}, {"7", "1-STREAM"}, {"3", "4-STREAMS"}}) {
        bool doDefault = true;
        emit page->lblStream2()->OnDBPointValueChanged(QString::fromLatin1(value), doDefault);
        EXPECT_FALSE(doDefault);
        EXPECT_EQ(session.Form().StreamDisp()->text(), QString::fromLatin1(caption)) << value;
        EXPECT_FALSE(page->cbStreams()->isVisible());
        EXPECT_FALSE(page->lblStream2()->isVisible());
    }

    // Settings typed and written with the window's Write go to the analyzer; the sensor port's
    // unbound settings are not this page's to write.
    page->Edit("edtTargetDiodVolt")->setText(QStringLiteral("1.5"));
    page->Edit("txtColorCardMV")->setText(QStringLiteral("4.25"));
    session.Form().tbtnWriteClick();
    EXPECT_DOUBLE_EQ(session.unit.Value(sim::DbId{471}), 1.5);
    EXPECT_DOUBLE_EQ(session.unit.Value(sim::DbId{1688}), 4.25);
    EXPECT_EQ(session.unit.ValueText(sim::DbId{312}), QByteArray("7"));
    EXPECT_EQ(session.unit.ValueText(sim::DbId{311}), QByteArray("4"));
    EXPECT_TRUE(session.prompter.prompts.empty()) << session.prompter.Texts().join(QStringLiteral(" | ")).toStdString();
}

TEST_F(FactoryPageTest, LowTapeAlarmIsWrittenOnAClickAndFixesItsActionsWhenOn)
{
    ShowFactory(SecurityChk::kFactoryCode);
    TQCheckBox* lowTape = page->LowTape();
    for (int k = 0; k < 14; ++k) EXPECT_TRUE(page->LowTapeAction(k)->isEnabled());

    session.unit.ClearLog();
    lowTape->click();
    EXPECT_EQ(session.unit.ValueText(sim::DbId{511}), QByteArray("True"));
    EXPECT_EQ(pagetest::WrittenRows(session.unit), pagetest::RowsOf({511}));
    // The value arriving fixes the fourteen actions.
    session.Form().tbtnPollClick();
    for (int k = 0; k < 14; ++k) EXPECT_FALSE(page->LowTapeAction(k)->isEnabled()) << k;
    session.unit.SetValueText(sim::DbId{511}, "False");
    session.Form().tbtnPollClick();
    EXPECT_FALSE(lowTape->isChecked());
    for (int k = 0; k < 14; ++k) EXPECT_TRUE(page->LowTapeAction(k)->isEnabled()) << k;

    // An action chosen and written with the window's Write: relay 2 and solenoid 8.
    page->LowTapeAction(1)->click();
    page->LowTapeAction(13)->click();
    session.Form().tbtnWriteClick();
    EXPECT_EQ(session.unit.Value(sim::DbId{512}), double((1 << 1) | (1 << 15)));

    // A click while another page is current writes nothing.
    session.Show(MainPage::Timers);
    session.unit.ClearLog();
    lowTape->click();
    EXPECT_EQ(session.WriteRequests(), 0);
    EXPECT_EQ(session.unit.ValueText(sim::DbId{511}), QByteArray("False"));
}

TEST_F(FactoryPageTest, TheFourServiceActions)
{
    ShowFactory(SecurityChk::kFactoryCode);
    session.prompter.prompts.clear();

    // The wipes run at once, unconfirmed.
    page->btnWipe()->click();
    EXPECT_EQ(session.unit.ArchiveWipeCount(), 1);
    page->btnWipeLog()->click();
    EXPECT_EQ(session.unit.EventLogWipeCount(), 1);
    EXPECT_TRUE(session.prompter.prompts.empty());

    // The default configuration after a Yes only.
    session.prompter.answers = {platform::mrNo};
    page->butWriteConfigFlash()->click();
    EXPECT_EQ(session.unit.RequestCount(12), 0);
    session.prompter.answers = {platform::mrYes};
    page->butWriteConfigFlash()->click();
    EXPECT_EQ(session.unit.RequestCount(12), 1);
    ASSERT_EQ(session.prompter.prompts.size(), 2u);
    EXPECT_EQ(session.prompter.prompts[0].text,
              QStringLiteral("Are you sure you want to reset the configuration on the unit?\n"
                             "If YES, please Write Configuration to Flash if you want to keep these changes."));
    EXPECT_EQ(session.prompter.prompts[0].type, platform::DlgType::Warning);
    EXPECT_EQ(session.prompter.prompts[0].buttons, unsigned(platform::mbYes | platform::mbNo));

    // The Update-mode password back to the factory default after a Yes only, quietly.
    SecurityChk& security = SecurityChk::Instance();
    ASSERT_TRUE(security.SetPassword("changed"));
    session.prompter.prompts.clear();
    session.prompter.answers = {platform::mrNo};
    page->btnResetPw()->click();
    EXPECT_TRUE(security.CheckPassword("changed"));
    session.prompter.answers = {platform::mrYes};
    page->btnResetPw()->click();
    EXPECT_TRUE(security.CheckPassword(SecurityChk::kDefaultPassword));
    EXPECT_FALSE(security.CheckPassword("changed"));
    ASSERT_EQ(session.prompter.prompts.size(), 2u);
    EXPECT_EQ(session.prompter.prompts[1].text,
              QStringLiteral("This will reset the \"Update Mode\" Password to the factory default setting.\n\nContinue?"));
    EXPECT_EQ(session.prompter.prompts[1].buttons, unsigned(platform::mbYes | platform::mbNo));
}

TEST(FactoryPage, APasswordThatCouldNotBeResetIsSaid)
{
    FakePrompter prompter;
    pagetest::TestHost host(true);
    host.passwordResetWorks = false;
    TfraFactory page(nullptr);
    prompter.answers = {platform::mrYes};
    page.btnResetPw()->click();
    EXPECT_EQ(host.passwordResets, 1);
    ASSERT_EQ(prompter.prompts.size(), 2u);
    EXPECT_EQ(prompter.prompts[1].type, platform::DlgType::Error);
    EXPECT_TRUE(prompter.prompts[1].text.contains(QStringLiteral("could not be reset"))) << prompter.prompts[1].text.toStdString();
    EXPECT_TRUE(prompter.prompts[1].text.endsWith(QStringLiteral("No space left on device"))) << prompter.prompts[1].text.toStdString();
    DataBase::DestroyInstance();
}

TEST_F(FactoryPageTest, SupplyCalibrationWritesCheckedValuesInItsOrder)
{
    ShowFactory(SecurityChk::kFactoryCode);
    TfmAnalogSupply* supply = page->fmAnalogSupply(1);
    supply->btnCalibrateAS()->click();
    ASSERT_TRUE(supply->Calibrating());

    // Capture: voltage, raw, bypass voltage, bypass position.
    supply->edOutputVoltage()->setText(QStringLiteral("12.75"));
    supply->edOutputRaw()->setText(QStringLiteral("42000"));
    supply->edFailSafeCurrent()->setText(QStringLiteral("4.5"));
    supply->edFailSafePos()->setText(QStringLiteral("900"));
    session.unit.ClearLog();
    supply->btnCaptureCalibration()->click();
    EXPECT_EQ(pagetest::WrittenRows(session.unit), pagetest::RowsOf({1031, 1029, 1030, 1027}));
    EXPECT_DOUBLE_EQ(session.unit.Value(sim::DbId{1031}), 12.75);
    EXPECT_EQ(session.unit.Value(sim::DbId{1029}), 42000);
    EXPECT_DOUBLE_EQ(session.unit.Value(sim::DbId{1030}), 4.5);
    EXPECT_EQ(session.unit.Value(sim::DbId{1027}), 900);

    // One value that does not check: nothing at all is written, and the user is told which.
    supply->edFailSafePos()->setText(QStringLiteral("70000"));
    supply->edOutputVoltage()->setText(QStringLiteral("13"));
    session.unit.ClearLog();
    session.prompter.prompts.clear();
    supply->btnCaptureCalibration()->click();
    EXPECT_EQ(session.WriteRequests(), 0);
    ASSERT_EQ(session.prompter.prompts.size(), 1u);
    EXPECT_EQ(session.prompter.prompts[0].text,
              QStringLiteral("Bypass Position \"70000\" is not a count from 0 to 65535. Nothing was written."));
    EXPECT_DOUBLE_EQ(session.unit.Value(sim::DbId{1031}), 12.75);
    supply->edFailSafePos()->setText(QStringLiteral("900"));

    // Steps write the stepped value at once: the raw position by one count, the voltage by 0.1.
    session.unit.ClearLog();
    supply->UpDown(2)->stepBy(1);
    EXPECT_EQ(supply->edOutputRaw()->text(), QStringLiteral("42001"));
    supply->UpDown(3)->stepBy(-1);
    EXPECT_EQ(supply->edFailSafeCurrent()->text(), QStringLiteral("4.4"));
    EXPECT_EQ(pagetest::WrittenRows(session.unit), pagetest::RowsOf({1029, 1030}));
    EXPECT_EQ(session.unit.Value(sim::DbId{1029}), 42001);
    EXPECT_FLOAT_EQ(static_cast<float>(session.unit.Value(sim::DbId{1030})), 4.4f);
    // The count stays within 0..65535.
    supply->edFailSafePos()->setText(QStringLiteral("65535"));
    supply->UpDown(4)->stepBy(1);
    EXPECT_EQ(supply->edFailSafePos()->text(), QStringLiteral("65535"));
    EXPECT_EQ(session.unit.Value(sim::DbId{1027}), 65535);

    // Enter in the bypass voltage box writes it at once.
    session.unit.ClearLog();
    supply->edFailSafeCurrent()->setText(QStringLiteral("5.5"));
    QTest::keyClick(supply->edFailSafeCurrent(), Qt::Key_Return);
    EXPECT_EQ(pagetest::WrittenRows(session.unit), pagetest::RowsOf({1030}));
    EXPECT_DOUBLE_EQ(session.unit.Value(sim::DbId{1030}), 5.5);

    // Calibration off: the arrows still step and write.
    supply->btnCalibrateAS()->click();
    session.unit.ClearLog();
    supply->UpDown(2)->stepBy(1);
    EXPECT_EQ(pagetest::WrittenRows(session.unit), pagetest::RowsOf({1029}));
    EXPECT_EQ(session.unit.Value(sim::DbId{1029}), 42002);

    // The second supply writes its own points.
    TfmAnalogSupply* supply2 = page->fmAnalogSupply(2);
    supply2->btnCalibrateAS()->click();
    session.unit.ClearLog();
    supply2->btnCaptureCalibration()->click();
    EXPECT_EQ(pagetest::WrittenRows(session.unit), pagetest::RowsOf({1039, 1037, 1038, 1035}));
    EXPECT_EQ(session.prompter.prompts.size(), 1u) << session.prompter.Texts().join(QStringLiteral(" | ")).toStdString();
}

}  // namespace
