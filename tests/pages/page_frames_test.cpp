// The page frames as the main window uses them: page numbers and flags, the points each
// registers, the display places file, and the services the application state calls.
#include "brannix/qcheckbox.h"
#include "brannix/qhelpcontrols.h"
#include "brannix/qlabel.h"
#include <QComboBox>
#include <QLineEdit>
#include <QToolButton>
#include "tests/common/fake_prompter.h"
#include "tests/pages/page_point_orders.h"
#include "tevrin/pages/analysis/display_places.h"
#include "tevrin/pages/analysis/fra_archive_viewer.h"
#include "tevrin/pages/analysis/fra_ww.h"
#include "tevrin/pages/analysis/frm_audit.h"
#include "tevrin/pages/analysis/log_db_manager.h"
#include "tevrin/pages/config/fr_sequencer.h"
#include "tevrin/pages/config/fra_analyzer_global.h"
#include "tevrin/pages/config/fra_ana_set_defn.h"
#include "tevrin/pages/config/fra_analyzer_streams.h"
#include "tevrin/pages/config/fra_stream.h"
#include "brannix/qcheckbox.h"
#include "brannix/qlabelededit.h"
#include "tevrin/pages/config/frm_timer1.h"
#include "tevrin/pages/io/fr_analog_inputs.h"
#include "tevrin/pages/io/fra_board_tester.h"
#include "tevrin/pages/io/fra_comm_ports.h"
#include "tevrin/pages/io/fra_factory.h"
#include "tevrin/pages/io/fra_io.h"
#include "tevrin/pages/io/fra_modbus.h"
#include "tevrin/pages/io/fra_output.h"
#include "tevrin/pages/io/frm_alarm.h"
#include "tevrin/pages/io/frm_input2.h"
#include "tevrin/pages/io/frm_io_status.h"
#include "tevrin/pages/widgets/ao_source_combo.h"
#include "tevrin/rtdb/analog_output_collection.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/shell/security_chk.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

class PagesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db = DataBase::Instance();
        owner = std::make_unique<QWidget>();
    }
    void TearDown() override
    {
        owner.reset();
        DataBase::DestroyInstance();
        AnalogOutputCollection::DestroyInstance();
        QFile::remove(DispPlaceFile());
        SecurityChk::Destroy();
    }

    static QString DispPlaceFile()
    {
        SecurityChk::Instance().SetAppDataFolder();
        return QDir(SecurityChk::Instance().GetFolder()).filePath(QStringLiteral("dispPlace.cfg"));
    }
    static void WriteDispPlace(const QByteArray& content)
    {
        QFile file(DispPlaceFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }
    std::vector<int> Points() const
    {
        std::vector<int> ids;
        for (int i = 0; i < db->AsExpressScan().Count(); ++i) ids.push_back(db->AsExpressScan().At(i));
        return ids;
    }
    bool Registered(int id) const
    {
        const std::vector<int> ids = Points();
        return std::find(ids.begin(), ids.end(), id) != ids.end();
    }

    FakePrompter prompter;
    DataBase* db = nullptr;
    std::unique_ptr<QWidget> owner;
};

}  // namespace

// Every page under its number with its flags; the points it registers, in order, and its poll
// list come from the one table of the page tests (a few known points for the pages not in it).
TEST_F(PagesTest, EveryPageRegistersUnderItsNumberWithItsFlags)
{
    const struct {
        const char* name;
        std::function<TPageFrame*(QWidget*)> make;
        int page;
        int pollFlag, waitFlag;
        int count;               // pages not in the table: points registered (-1: not checked)
        std::vector<int> some;   // pages not in the table: a few points that must be there
        bool warns;
    } kPages[] = {
        {"TfraWW", [](QWidget* o) { return new TfraWW(o); }, 0, 0, 0, 45, {45, 611, 68, 91, 1269, 114, 20, 392}, false},
        {"TfraArchiveViewer", [](QWidget* o) { return new TfraArchiveViewer(o); }, 1, 0, 1, 0, {}, false},
        {"TfraAnalyzerGlobal", [](QWidget* o) { return new TfraAnalyzerGlobal(o); }, 2, 0, 1, 0, {}, false},
        {"TfraAnalyzerStreams", [](QWidget* o) { return new TfraAnalyzerStreams(o); }, 3, 0, 1, -1, {474, 1137, 477, 20}, false},
        {"TfraIO", [](QWidget* o) { return new TfraIO(o); }, 4, 0, 1, 0, {}, true},
        {"TfraOutput", [](QWidget* o) { return new TfraOutput(o); }, 5, 0, 1, 0, {}, true},
        {"TfraCommPorts", [](QWidget* o) { return new TfraCommPorts(o); }, 6, 0, 1, 0, {}, false},
        {"TfraModbus", [](QWidget* o) { return new TfraModbus(o); }, 7, 1, 1, 0, {}, false},
        {"TfraFactory", [](QWidget* o) { return new TfraFactory(o); }, 8, 0, 1, 0, {}, false},
        {"TfraBoardTester", [](QWidget* o) { return new TfraBoardTester(o); }, 9, 0, 1, 0, {}, false},
        {"TfrmAlarm", [](QWidget* o) { return new TfrmAlarm(o); }, 11, 0, 0, 0, {}, false},
        {"TfrSequencer", [](QWidget* o) { return new TfrSequencer(o); }, 12, 0, 1, 0, {}, false},
        {"TfrmInput2", [](QWidget* o) { return new TfrmInput2(o); }, 13, 0, 1, 0, {}, true},
        {"TfrAnalogInputs", [](QWidget* o) { return new TfrAnalogInputs(o); }, 14, 1, 0, 0, {}, false},
        {"TfrmIOStatus", [](QWidget* o) { return new TfrmIOStatus(o); }, 15, 1, 0, 0, {}, false},
        {"TfrmTimer1", [](QWidget* o) { return new TfrmTimer1(o); }, 16, 0, 1, 0, {}, false},
    };
    ExpressScan& scan = db->AsExpressScan();
    for (const auto& p : kPages) {
        SCOPED_TRACE(p.name);
        const pagetest::PagePointOrder* order = pagetest::FindPointOrder(p.page);
        if (order) {
            EXPECT_STREQ(order->frame, p.name);
        }
        TPageFrame* frame = p.make(owner.get());
        EXPECT_EQ(frame->PageNumber(), p.page);
        EXPECT_TRUE(frame->NotShown());
        EXPECT_FALSE(frame->CanWrite());
        prompter.prompts.clear();
        scan.Add(9999);   // left over from the page before: must be cleared
        frame->EnterPage();
        EXPECT_EQ(scan.CurrentPage(), p.page);
        EXPECT_FALSE(frame->NotShown());
        EXPECT_TRUE(frame->CanWrite());
        EXPECT_FALSE(Registered(9999));
        if (order) {
            EXPECT_EQ(Points(), order->points);
        } else {
            if (p.count >= 0) {
                EXPECT_EQ(scan.Count(), p.count);
            }
            for (int id : p.some) EXPECT_TRUE(Registered(id)) << id;
        }
        // The poll list is what a poll reads on a polling page; the others have none of their own.
        std::vector<int> poll;
        for (int i = 0; i < scan.PollCount(); ++i) poll.push_back(scan.PollAt(i));
        if (p.pollFlag) {
            EXPECT_EQ(poll, order ? order->poll : std::vector<int>{});
        }
        EXPECT_EQ(scan.WaitWindowFlag(), p.waitFlag);
        EXPECT_EQ(prompter.prompts.size(), p.warns ? 1u : 0u);
        // Each point once, whatever the page's tables repeat.
        std::vector<int> ids = Points();
        std::sort(ids.begin(), ids.end());
        EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end());
    }
}

TEST_F(PagesTest, DisplayPlacesComeFromTheFile)
{
    // Both pages read the file alike: the Analysis page shows its format, the global page
    // selects its index (nothing for a file that holds no number of places).
    const struct {
        QByteArray content;   // "<none>": no file
        const char* format;
        int comboIndex;
    } kCases[] = {
        {"<none>", "0.00", 0},   {"0", "0", 0},         {"3", "0.000", 3},      {"4", "0.0000", 4},
        {" 2\r\n", "0.00", 2},  {"1\n", "0.0", 1},     {"7", "0.00", -1},      {"-1", "0.00", -1},
        {"x", "0.00", -1},       {"", "0.00", -1},      {"3.0", "0.00", -1},    {"3abc", "0.00", -1},
        {"+3", "0.00", -1},      {"3 3", "0.00", -1},   {"4294967299", "0.00", -1},
        // A number of places never needs more than a few bytes.
        {QByteArray(100, ' ') + "3", "0.00", -1},
    };
    TfraWW analysis(owner.get());
    TfraAnalyzerGlobal global(owner.get());
    EXPECT_EQ(analysis.DisplayFormat(), QString());
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.content.left(20).toStdString());
        QFile::remove(DispPlaceFile());
        if (c.content != "<none>") WriteDispPlace(c.content);
        analysis.EnterPage();
        EXPECT_EQ(analysis.DisplayFormat(), QString::fromLatin1(c.format));
        global.EnterPage();
        EXPECT_EQ(global.cbDispPlace()->currentIndex(), c.comboIndex);
    }
}

TEST_F(PagesTest, StatesSwitchWhatThePagesAllow)
{
    TfraArchiveViewer archive(owner.get());
    archive.SetReadOnly(true);
    EXPECT_FALSE(archive.btnLogSetup()->isEnabled());
    archive.SetReadOnly(false);
    EXPECT_TRUE(archive.btnLogSetup()->isEnabled());

    TfraModbus modbus(owner.get());
    EXPECT_FALSE(modbus.IsReadOnly());
    modbus.SetReadOnly(true);
    EXPECT_FALSE(modbus.mnuDeleteSelected()->isEnabled());
    EXPECT_FALSE(modbus.NewModbusList()->isEnabled());
    modbus.SetReadOnly(false);
    EXPECT_TRUE(modbus.mnuDeleteSelected()->isEnabled());

    TfraAnalyzerStreams streams(owner.get());
    EXPECT_FALSE(streams.streamTabs()->isTabVisible(1));
    EXPECT_FALSE(streams.streamTabs()->isTabVisible(3));
    streams.EnableStreamEditing(false);
    EXPECT_FALSE(streams.Stream(1)->Sets()[0]->isEnabled());
    EXPECT_FALSE(streams.Stream(1)->ledGainFactor->isEnabled());
    EXPECT_TRUE(streams.streamTabs()->widget(0)->isEnabled());   // the page's own switches stay usable
    EXPECT_TRUE(streams.chkCalCorrEnable(1)->isEnabled());
    streams.EnableStreamEditing(true);
    EXPECT_TRUE(streams.Stream(1)->Sets()[4]->isEnabled());
    EXPECT_TRUE(streams.Stream(1)->ledGainFactor->isEnabled());
    EXPECT_FALSE(streams.Stream(2)->ledGainFactor->isEnabled());   // shown only, whatever the level

    TfrSequencer sequencer(owner.get());
    EXPECT_TRUE(sequencer.IsReadOnly());
    sequencer.SetReadOnly(false);
    EXPECT_FALSE(sequencer.IsReadOnly());
}

TEST_F(PagesTest, FactoryPageShowsItsContentsOnlyAfterTheCode)
{
    owner->show();
    TfraFactory factory(owner.get());
    factory.show();
    QWidget* sensor = factory.findChild<QWidget*>(QStringLiteral("gbSensor"));
    ASSERT_NE(sensor, nullptr);
    // Built hidden: only the notice.
    EXPECT_TRUE(factory.lblNotice()->isVisible());
    EXPECT_FALSE(sensor->isVisible());
    factory.ShowContents(true);
    EXPECT_FALSE(factory.lblNotice()->isVisible());
    EXPECT_TRUE(sensor->isVisible());
    EXPECT_TRUE(factory.btnWipe()->isVisible());
    factory.ShowContents(false);
    EXPECT_TRUE(factory.lblNotice()->isVisible());
    EXPECT_TRUE(factory.lblNotice()->isEnabled());
    EXPECT_FALSE(sensor->isVisible());
    EXPECT_FALSE(factory.btnWipe()->isVisible());
    // The stream-count controls never show, whichever way.
    for (bool show : {true, false}) {
        factory.ShowContents(show);
        EXPECT_FALSE(factory.QLabel1()->isVisible());
        EXPECT_FALSE(factory.cbStreams()->isVisible());
        EXPECT_FALSE(factory.lblStream2()->isVisible());
    }

    DisableAllChildren(&factory, true);
    EXPECT_FALSE(sensor->isEnabled());
    DisableAllChildren(&factory, false);
    EXPECT_TRUE(sensor->isEnabled());
}

TEST_F(PagesTest, AnalogOutputCombosAreFilledOnTheFirstEntryOnly)
{
    AnalogOutputCollection::Instance()->Build();
    const int sources = AnalogOutputCollection::Instance()->Count();
    ASSERT_GT(sources, 0);
    TfraOutput outputs(owner.get());
    TfraAnalyzerStreams streams(owner.get());
    EXPECT_EQ(outputs.aoCombos().size(), 6u);
    EXPECT_EQ(outputs.aoCombos()[0]->count(), 0);
    outputs.EnterPage();
    streams.EnterPage();
    EXPECT_EQ(outputs.aoCombos()[5]->count(), sources);
    EXPECT_EQ(streams.aoCombos()[0]->count(), sources);
    EXPECT_EQ(outputs.aoCombos()[0]->itemText(0), AnalogOutputCollection::Instance()->At(0)->name);

    // A later entry leaves the combos as they are; an explicit refill reads the list again.
    outputs.aoCombos()[0]->clear();
    outputs.EnterPage();
    EXPECT_EQ(outputs.aoCombos()[0]->count(), 0);
    outputs.FillAOManagerFunctions();
    EXPECT_EQ(outputs.aoCombos()[0]->count(), sources);
}

TEST_F(PagesTest, MaintenanceEnablesItsFirmwareButtonsOnTheFirstEntry)
{
    TfraBoardTester tester(owner.get());
    EXPECT_FALSE(tester.btnWriteFirmware()->isEnabled());
    tester.EnterPage();
    EXPECT_TRUE(tester.btnReadOldConfig()->isEnabled());
    EXPECT_TRUE(tester.btnWriteFirmware()->isEnabled());
    EXPECT_TRUE(tester.btnMergeFirmware()->isEnabled());
    EXPECT_EQ(tester.DirectControlEnable()->objectName(), QStringLiteral("DirectControlEnable"));
}

TEST_F(PagesTest, FreeingPageDataEmptiesTheTreesAndAnswersZero)
{
    TfrSequencer sequencer(owner.get());
    sequencer.EnterPage();
    ASSERT_EQ(sequencer.treeRunType()->topLevelItemCount(), 1);
    EXPECT_EQ(sequencer.treeRunType()->topLevelItem(0)->text(0), QStringLiteral("Available Run Types"));
    EXPECT_EQ(sequencer.treeRunType()->topLevelItem(0)->child(0)->childCount(), 5);
    TMessage m(platform::WM_FREEPAGEDATA);
    m.Result = 5;
    QCoreApplication::sendEvent(&sequencer, &m);
    EXPECT_EQ(m.Result, 0);
    EXPECT_EQ(sequencer.treeRunType()->topLevelItemCount(), 0);

    TfraModbus modbus(owner.get());
    new QTreeWidgetItem(modbus.tlModbus(), {QStringLiteral("row")});
    TMessage n(platform::WM_FREEPAGEDATA);
    n.Result = 5;
    QCoreApplication::sendEvent(&modbus, &n);
    EXPECT_EQ(n.Result, 0);
    EXPECT_EQ(modbus.tlModbus()->topLevelItemCount(), 0);
}

TEST_F(PagesTest, ArchiveFileDialogsWriteNothingWhenCancelled)
{
    TfraArchiveViewer archive(owner.get());
    EXPECT_FALSE(archive.ReadArchiveFile());
    archive.SaveLogFile();
    ASSERT_EQ(prompter.fileRequests.size(), 2u);
    EXPECT_FALSE(prompter.fileRequests[0].save);
    EXPECT_TRUE(prompter.fileRequests[1].save);
    EXPECT_TRUE(prompter.prompts.empty());

    archive.UpdateLogView();
    EXPECT_EQ(archive.edtDispRange()->text(), QStringLiteral("50"));
    EXPECT_TRUE(archive.cbArchive()->isEnabled());
    EXPECT_EQ(archive.cbArchive()->currentText(), QStringLiteral("On Run"));
    LogDBManager::DestroyInstance();
}

TEST(LogDBManagerTest, InstanceIsCreatedOnceAndForgottenWhenDestroyed)
{
    EXPECT_FALSE(LogDBManager::Exists());
    LogDBManager* first = LogDBManager::Instance();
    EXPECT_EQ(LogDBManager::Instance(), first);
    EXPECT_TRUE(LogDBManager::Exists());
    LogDBManager::DestroyInstance();
    EXPECT_FALSE(LogDBManager::Exists());
    LogDBManager::DestroyInstance();   // a second time does nothing
}

// Captions the pages show as the system's own texts, spaces and all: every text of the table
// is on its page (as a label, button, group title or edit caption), visible or not.
TEST_F(PagesTest, PagesCarryTheirOwnCaptions)
{
    const struct {
        const char* name;
        std::function<TPageFrame*(QWidget*)> make;
        std::vector<const char*> texts;
    } kPages[] = {
        {"TfraAnalyzerGlobal", [](QWidget* o) { return new TfraAnalyzerGlobal(o); },
         {"Tape Remaining", "Tape Remaining (days)", "Tape Remaining After Tape Alarm (days)", "Calculate",
          "Stain Width per Pulse ", "Bypasss", "Stream 4 Cal Reading"}},
        {"TfraAnalyzerStreams", [](QWidget* o) { return new TfraAnalyzerStreams(o); },
         {"Day Of Week", "o'clock", "Minute", "Stream Calibration Used:", "(0-255) s", "Analysis Units:"}},
        {"TfrAnalogInputs", [](QWidget* o) { return new TfrAnalogInputs(o); },
         {"Limit", "Enabled", "Actions", "Relays", "Solenoids", "Analog Input 4 < Limit", "     Raw Zero",
          "       AI (mA)"}},
        {"TfraBoardTester", [](QWidget* o) { return new TfraBoardTester(o); },
         {"Scaled Value", "Raw Value", "edFailSafePos", "Meter Reading ", "Test (Percent)", "Test mA",
          "Calibrate AO6", "Analog Output 6 Calibration"}},
    };
    for (const auto& p : kPages) {
        SCOPED_TRACE(p.name);
        TPageFrame* frame = p.make(owner.get());
        QStringList shown;
        for (const QLabel* label : frame->findChildren<QLabel*>()) shown << label->text();
        for (const QAbstractButton* button : frame->findChildren<QAbstractButton*>()) shown << button->text();
        for (const QGroupBox* box : frame->findChildren<QGroupBox*>()) shown << box->title();
        for (const char* text : p.texts) EXPECT_TRUE(shown.contains(QString::fromLatin1(text))) << text;
    }
}
