// The page frames as the main window uses them: page numbers and flags, the points each
// registers, the display places file, and the services the application state calls.
#include "brannix/qcheckbox.h"
#include "brannix/qhelpcontrols.h"
#include "brannix/qlabel.h"
#include <QComboBox>
#include <QLineEdit>
#include <QToolButton>
#include "tests/common/fake_prompter.h"
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

TEST_F(PagesTest, EveryPageRegistersUnderItsNumberWithItsFlags)
{
    const struct {
        const char* name;
        std::function<TPageFrame*(QWidget*)> make;
        int page;
        int pollFlag, waitFlag;
        int count;            // points registered (-1: not checked)
        int pollCount;        // poll list of a polling page
        std::vector<int> some;   // a few points that must be there
        bool warns;
    } kPages[] = {
        {"TfraWW", [](QWidget* o) { return new TfraWW(o); }, 0, 0, 0, 45, 0, {45, 611, 68, 91, 1269, 114, 20, 392}, false},
        {"TfraArchiveViewer", [](QWidget* o) { return new TfraArchiveViewer(o); }, 1, 0, 1, 0, 0, {}, false},
        {"TfraAnalyzerGlobal", [](QWidget* o) { return new TfraAnalyzerGlobal(o); }, 2, 0, 1, 50, 0, {0, 1, 2, 20, 1435}, false},
        {"TfraAnalyzerStreams", [](QWidget* o) { return new TfraAnalyzerStreams(o); }, 3, 0, 1, -1, 0, {474, 1137, 477, 20}, false},
        {"TfraIO", [](QWidget* o) { return new TfraIO(o); }, 4, 0, 1, 25, 0, {264, 458, 274, 20}, true},
        {"TfraOutput", [](QWidget* o) { return new TfraOutput(o); }, 5, 0, 1, 81, 0, {247, 1136, 1262, 20}, true},
        {"TfraCommPorts", [](QWidget* o) { return new TfraCommPorts(o); }, 6, 0, 1, 16, 0, {306, 310, 316, 325, 20}, false},
        {"TfraModbus", [](QWidget* o) { return new TfraModbus(o); }, 7, 1, 1, 4, 0, {389, 20, 1630, 1631}, false},
        {"TfraFactory", [](QWidget* o) { return new TfraFactory(o); }, 8, 0, 1, 26, 0, {386, 29, 20, 1689, 512}, false},
        {"TfraBoardTester", [](QWidget* o) { return new TfraBoardTester(o); }, 9, 0, 1, -1, 0, {334, 332, 339, 1058, 327, 0, 1, 2, 20}, false},
        {"TfrmAlarm", [](QWidget* o) { return new TfrmAlarm(o); }, 11, 0, 0, 38, 0, {20, 407, 1474, 1686}, false},
        {"TfrSequencer", [](QWidget* o) { return new TfrSequencer(o); }, 12, 0, 1, 12, 0, {1431, 1635, 20}, false},
        {"TfrmInput2", [](QWidget* o) { return new TfrmInput2(o); }, 13, 0, 1, 25, 0, {974, 994, 993, 20}, true},
        {"TfrAnalogInputs", [](QWidget* o) { return new TfrAnalogInputs(o); }, 14, 1, 0, 81, 16, {1443, 1445, 1466, 1504, 1555, 1502, 1530, 20}, false},
        {"TfrmIOStatus", [](QWidget* o) { return new TfrmIOStatus(o); }, 15, 1, 0, 73, 37, {392, 407, 1475, 1476}, false},
        {"TfrmTimer1", [](QWidget* o) { return new TfrmTimer1(o); }, 16, 0, 1, 1, 0, {20}, false},
    };
    ExpressScan& scan = db->AsExpressScan();
    for (const auto& p : kPages) {
        SCOPED_TRACE(p.name);
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
        if (p.count >= 0) {
            EXPECT_EQ(scan.Count(), p.count);
        }
        for (int id : p.some) EXPECT_TRUE(Registered(id)) << id;
        // The poll list is what a poll reads on a polling page.
        if (p.pollFlag) {
            EXPECT_EQ(scan.PollCount(), p.pollCount);
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
    const struct {
        const char* content;   // nullptr: no file
        const char* format;
        int comboIndex;
    } kCases[] = {
        {nullptr, "0.00", 0}, {"0", "0", 0}, {"3", "0.000", 3}, {"4", "0.0000", 4},
        {"7", "0.00", -1},    {"-1", "0.00", -1}, {"x", "0.00", 0},
    };
    TfraWW analysis(owner.get());
    TfraAnalyzerGlobal global(owner.get());
    EXPECT_EQ(analysis.DisplayFormat(), QString());
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.content ? c.content : "no file");
        QFile::remove(DispPlaceFile());
        if (c.content) WriteDispPlace(c.content);
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

// The order in which each page registers its points and its poll list, one table per page.
TEST_F(PagesTest, EveryPageRegistersItsPointsInTheirOrder)
{
    const struct {
        const char* name;
        std::function<TPageFrame*(QWidget*)> make;
        std::vector<int> points;
        std::vector<int> poll;
    } kPages[] = {
        {"TfraAnalyzerGlobal", [](QWidget* o) { return new TfraAnalyzerGlobal(o); },
         {0,   1,   2,   10,  19,  14,  11,   18,   15,   16,   13,   277,  284,  113,  157,  461, 488,
          508, 507, 500, 328, 514, 513, 34,   67,   142,  516,  517,  520,  3,    302,  303,  537, 85,
          603, 20,  180, 462, 515, 147, 538,  604,  17,   1439, 1440, 1441, 1442, 1433, 1434, 1435},
         {}},
        {"TfrSequencer", [](QWidget* o) { return new TfrSequencer(o); },
         {1431, 1432, 1609, 1610, 1611, 1612, 1613, 1632, 1633, 1634, 1635, 20}, {}},
        {"TfrmTimer1", [](QWidget* o) { return new TfrmTimer1(o); }, {20}, {}},
        {"TfraIO", [](QWidget* o) { return new TfraIO(o); },
         {264, 263, 533, 540, 442, 265, 267, 266, 534, 541, 443, 268, 270,
          269, 535, 542, 444, 271, 273, 272, 536, 543, 458, 274, 20},
         {}},
        {"TfrmInput2", [](QWidget* o) { return new TfrmInput2(o); },
         {974, 971, 973, 972, 976, 975, 980, 977, 979, 978, 982, 981, 986,
          983, 985, 984, 988, 987, 992, 989, 991, 990, 994, 993, 20},
         {}},
        {"TfraOutput", [](QWidget* o) { return new TfraOutput(o); },
         {247,  248,  292,  249,  250,  293,  251,  252,  294,  253,  254,  295,  955,  956,  296,  957,  958,
          297,  255,  256,  1043, 257,  258,  1044, 259,  260,  1045, 261,  262,  1046, 963,  964,  1047, 965,
          966,  1048, 967,  968,  1049, 969,  970,  1050, 410,  411,  412,  413,  414,  415,  1129, 1130, 1131,
          1132, 1133, 1134, 1135, 1136, 1197, 1246, 1245, 1247, 1198, 1249, 1248, 1250, 1199, 1252, 1251, 1253,
          1200, 1255, 1254, 1256, 1201, 1258, 1257, 1259, 1202, 1261, 1260, 1262, 20},
         {}},
        {"TfraCommPorts", [](QWidget* o) { return new TfraCommPorts(o); },
         {306, 307, 308, 309, 310, 316, 317, 318, 319, 320, 321, 322, 323, 324, 325, 20}, {}},
        {"TfraModbus", [](QWidget* o) { return new TfraModbus(o); }, {389, 20, 1630, 1631}, {}},
        // The low-tape action point 512 goes last: the page reads its action boxes too.
        {"TfraFactory", [](QWidget* o) { return new TfraFactory(o); },
         {386,  285,  470,  471,  472,  311,  312,  313,  314,  315, 29,   20,  1031,
          1029, 1030, 1027, 1203, 1039, 1037, 1038, 1035, 1204, 511, 1688, 1689, 512},
         {}},
        {"TfrAnalogInputs", [](QWidget* o) { return new TfrAnalogInputs(o); },
         {1443, 1444, 1445, 1446, 1447, 1448, 1449, 1450, 1451, 1452, 1453, 1454, 1455, 1456, 1457, 1458, 1459,
          1460, 1461, 1462, 1463, 1464, 1465, 1466, 1504, 1501, 1500, 1544, 1496, 1497, 1498, 1499, 1540, 1532,
          1536, 1552, 1513, 1510, 1509, 1545, 1505, 1506, 1507, 1508, 1541, 1533, 1537, 1553, 1522, 1519, 1518,
          1546, 1514, 1515, 1516, 1517, 1542, 1534, 1538, 1554, 1531, 1528, 1527, 1547, 1523, 1524, 1525, 1526,
          1543, 1535, 1539, 1555, 1502, 1503, 1511, 1512, 1520, 1521, 1529, 1530, 20},
         {1544, 1540, 1532, 1536, 1545, 1541, 1533, 1537, 1546, 1542, 1534, 1538, 1547, 1543, 1535, 1539}},
        {"TfraBoardTester", [](QWidget* o) { return new TfraBoardTester(o); },
         {334,  332,  335,  336,  337,  338,  339,  1051, 1052, 1053, 1054, 1055, 1056, 1057, 1058, 280,
          281,  278,  279,  275,  544,  342,  446,  282,  409,  447,  343,  288,  289,  286,  287,  283,
          545,  344,  448,  290,  445,  449,  345,  998,  999,  996,  997,  995,  1002, 1059, 1060, 1000,
          1001, 1061, 1062, 1006, 1007, 1004, 1005, 1003, 1010, 1063, 1064, 1008, 1009, 1065, 1066, 1014,
          1015, 1012, 1013, 1011, 1018, 1067, 1068, 1016, 1017, 1069, 1070, 1022, 1023, 1020, 1021, 1019,
          1026, 1071, 1072, 1024, 1025, 1073, 1074, 327,  0,    1,    2,    20},
         {}},
        {"TfrmAlarm", [](QWidget* o) { return new TfrmAlarm(o); },
         {20,   407,  347,  532,  348,  469,  346,  473,  518,  519,  152,  539,  602,
          349,  350,  504,  352,  353,  355,  1415, 356,  1416, 358,  359,  1438, 1437,
          1467, 1468, 1469, 1470, 1471, 1472, 1473, 1474, 1680, 1682, 1684, 1686},
         {}},
        {"TfrmIOStatus", [](QWidget* o) { return new TfrmIOStatus(o); },
         {392,  407,  1197, 1198, 1199, 1200, 1201, 1202, 486,  487,  1149, 1150, 1151, 1152, 1544,
          1545, 1546, 1547, 247,  249,  251,  253,  955,  957,  380,  410,  411,  412,  413,  414,
          415,  1129, 1130, 1131, 1132, 1133, 1134, 1135, 1136, 264,  267,  270,  273,  974,  980,
          986,  992,  373,  374,  375,  376,  1125, 1126, 1127, 1128, 255,  257,  259,  261,  963,
          965,  967,  969,  1504, 1513, 1522, 1531, 1552, 1553, 1554, 1555, 1476, 1475},
         {392, 407, 1544, 1545, 1546, 1547, 247, 249, 251, 253, 955, 957, 380, 410, 411, 412, 413, 414, 415,
          1129, 1130, 1131, 1132, 1133, 1134, 1135, 1136, 373, 374, 375, 376, 1125, 1126, 1127, 1128, 1476, 1475}},
    };
    ExpressScan& scan = db->AsExpressScan();
    for (const auto& p : kPages) {
        SCOPED_TRACE(p.name);
        p.make(owner.get())->EnterPage();
        EXPECT_EQ(Points(), p.points);
        if (p.poll.empty()) continue;   // a page without a poll list of its own
        std::vector<int> poll;
        for (int i = 0; i < scan.PollCount(); ++i) poll.push_back(scan.PollAt(i));
        EXPECT_EQ(poll, p.poll);
    }
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
