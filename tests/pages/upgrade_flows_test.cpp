// The Maintenance page's firmware and configuration steps against the simulated analyzer:
// Read Configuration, Write Firmware and Merge Firmware to their good ends, and each stopped at
// the first failed step with the files, the flags and the analyzer's flash left as they were.
#include "tests/common/fake_clock.h"
#include "tests/pages/page_session.h"
#include "tevrin/pages/io/fra_board_tester.h"
#include "tevrin/pages/io/upgrade_flows.h"
#include "tevrin/shell/app_flags.h"
#include "tevrin/shell/main_form.h"
#include "tevrin/shell/security_chk.h"
#include "tevrin/shell/upgrade.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

namespace {

using pagetest::PageSession;

TEST(UpgradeFileNames, AnalyzerTextsKeepTheirSpacesOnlyPathCharactersAreReplacedAndTheDateHasNoLeadingZeros)
{
    const struct {
        const char* text;
        const char* part;
    } kParts[] = {{"ANZ1", "ANZ1"},   {"Shed 3", "Shed 3"}, {" North ", " North "}, {"a/b\\c", "a_b_c"},
                  {"x:y*z?", "x_y_z_"}, {"<|>\"", "____"},  {"..", ".."},           {"", ""},
                  {"tab\there", "tab_here"}};
    for (const auto& c : kParts)
        EXPECT_EQ(upgradeflow::SafeNamePart(QString::fromLatin1(c.text)), QString::fromLatin1(c.part)) << c.text;
    const QDateTime at(QDate(2011, 2, 3), QTime(9, 5, 7, 42));
    EXPECT_EQ(upgradeflow::DatedName(QStringLiteral("ANZ1"), QStringLiteral("North"), QStringLiteral("Shed 3"), at,
                                     upgradeflow::kPreMergeSuffix),
              QStringLiteral("ANZ1_North_Shed 3_2011_2_3_9_5_7_42_PreMerge.cfg"));
    EXPECT_EQ(upgradeflow::DatedName(QStringLiteral("../etc"), QStringLiteral("x"), QStringLiteral("y"), at,
                                     upgradeflow::kPostMergeSuffix),
              QStringLiteral(".._etc_x_y_2011_2_3_9_5_7_42_PostMerge.cfg"));
}

// A clock whose sleeps can do something (the image write sleeps after each block).
class HookClock : public FakeClock {
public:
    void SleepMs(int ms) override
    {
        if (hook) hook();
        FakeClock::SleepMs(ms);
    }
    std::function<void()> hook;
};

class UpgradeFlows : public ::testing::Test {
protected:
    void SetUp() override
    {
        AppFlags::RelaunchRequested = 0;
        s.unit.SetText(sim::DbId{0}, "ANZ/1");
        s.unit.SetText(sim::DbId{1}, "North");
        s.unit.SetText(sim::DbId{2}, "Shed 3");
        s.unit.SetValue(sim::DbId{kPurgeTime}, 321);
        ASSERT_TRUE(s.LogOn(true));
        s.Show(MainPage::Maintenance);
        page = s.Form().fraBoardTester();
        folder = QDir(SecurityChk::Instance().GetFolder());
        for (const QString& f : folder.entryList({QStringLiteral("*.cfg"), QStringLiteral("*.dat"), QStringLiteral("*.tmp")}))
            QFile::remove(folder.filePath(f));
        if (IUpgradeWindow* w = s.Form().UpgradeWindow()) w->SetStepFlags(0, 0, 0);
        s.unit.ClearLog();
        s.prompter.prompts.clear();
    }
    void TearDown() override { AppFlags::RelaunchRequested = 0; }

    QString OldConfig() const { return folder.filePath(QStringLiteral("OldConfig.cfg")); }
    QByteArray Status() const
    {
        QFile f(folder.filePath(QStringLiteral("UpgradeStatus.dat")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QStringList Dated(const char* suffix) const { return folder.entryList({QStringLiteral("*") + QString::fromLatin1(suffix)}); }
    bool ButtonsEnabled() const
    {
        return page->btnReadOldConfig()->isEnabled() && page->btnWriteFirmware()->isEnabled() &&
               page->btnMergeFirmware()->isEnabled();
    }
    // An image file of n bytes in a folder of the test's own.
    QString Image(int n)
    {
        const QString path = images.filePath(QStringLiteral("new.bin"));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QByteArray bytes(n, '\0');
        for (int i = 0; i < n; ++i) bytes[i] = char((i * 7 + 3) & 0xFF);
        f.write(bytes);
        return path;
    }

    static constexpr int kPurgeTime = 10;
    HookClock clock;
    PageSession s;
    QTemporaryDir images;
    TfraBoardTester* page = nullptr;
    QDir folder;
};

TEST_F(UpgradeFlows, ReadConfigurationKeepsTheOldConfigurationAndASafeDatedCopy)
{
    ASSERT_TRUE(page->btnReadOldConfig()->isVisible() || !s.Form().isVisible());
    ASSERT_TRUE(page->btnReadOldConfigClick());
    ASSERT_TRUE(QFile::exists(OldConfig()));
    const QStringList copies = Dated(upgradeflow::kPreMergeSuffix);
    ASSERT_EQ(copies.size(), 1);
    EXPECT_TRUE(copies[0].startsWith(QStringLiteral("ANZ_1_North_Shed 3_"))) << copies[0].toStdString();
    QFile a(OldConfig()), b(folder.filePath(copies[0]));
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll(), b.readAll());
    EXPECT_EQ(Status(), QByteArray("1\n0\n0\n"));
    EXPECT_TRUE(ButtonsEnabled());
    EXPECT_EQ(s.WriteRequests(), 0);
}

TEST_F(UpgradeFlows, ReadConfigurationStopsAtAFailedReadOrFileAndWhileLoggedOff)
{
    s.unit.AddFault({sim::Fault::Reject, 50, 1, 5});   // a block read of the full read
    EXPECT_FALSE(page->btnReadOldConfigClick());
    EXPECT_FALSE(QFile::exists(OldConfig()));
    EXPECT_TRUE(Dated(upgradeflow::kPreMergeSuffix).isEmpty());
    EXPECT_NE(Status(), QByteArray("1\n0\n0\n"));
    EXPECT_TRUE(s.prompter.Saw(QStringLiteral("The configuration could not be read from the analyzer; \"OldConfig.cfg\" was not written.")));
    EXPECT_TRUE(ButtonsEnabled());

    // Logged off now (the failed read ended the connection).
    s.prompter.prompts.clear();
    EXPECT_FALSE(page->btnReadOldConfigClick());
    EXPECT_EQ(s.prompter.Texts(), QStringList{QStringLiteral("Please Logon first.")});

    // A file that cannot be written.
    ASSERT_TRUE(s.LogOn(true));
    s.Show(MainPage::Maintenance);
    ASSERT_TRUE(folder.mkdir(QStringLiteral("OldConfig.cfg")));
    s.prompter.prompts.clear();
    EXPECT_FALSE(page->btnReadOldConfigClick());
    EXPECT_TRUE(Dated(upgradeflow::kPreMergeSuffix).isEmpty());
    EXPECT_NE(Status(), QByteArray("1\n0\n0\n"));
    ASSERT_FALSE(s.prompter.prompts.empty());
    EXPECT_TRUE(s.prompter.prompts.back().text.contains(QStringLiteral("could not be written")));
    folder.rmdir(QStringLiteral("OldConfig.cfg"));
}

TEST_F(UpgradeFlows, WriteFirmwareWritesReadsBackVerifiesRebootsAndRestarts)
{
    ASSERT_TRUE(page->btnReadOldConfigClick());
    const QString image = Image(450);
    s.prompter.files = {image};
    s.prompter.answers = {platform::mrOk};
    EXPECT_TRUE(page->btnWriteFirmwareClick());
    QFile f(image);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(s.unit.ImageMemory().left(449), f.readAll().left(449));
    EXPECT_EQ(s.unit.RebootCount(), 1);
    EXPECT_EQ(Status(), QByteArray("1\n1\n0\n"));
    EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("K41rb.tmp"))));
    EXPECT_EQ(AppFlags::RelaunchRequested, 1);
    EXPECT_FALSE(s.Form().LoggedOn());
}

TEST_F(UpgradeFlows, WriteFirmwareStopsAtEachFailedStep)
{
    enum Fail { WriteImage, ReadImage, Compare, FinalCancel };
    for (Fail step : {WriteImage, ReadImage, Compare, FinalCancel}) {
        SCOPED_TRACE(static_cast<int>(step));
        if (!s.Form().LoggedOn()) {
            ASSERT_TRUE(s.LogOn(true));
            s.Show(MainPage::Maintenance);
        }
        QFile::remove(folder.filePath(QStringLiteral("UpgradeStatus.dat")));
        s.Form().UpgradeWindow()->SetStepFlags(0, 0, 0);
        s.unit.ClearLog();
        s.unit.ClearFaults();
        s.prompter.prompts.clear();
        const QString image = Image(450);
        bool corrupted = false;
        clock.hook = nullptr;
        if (step == WriteImage) s.unit.AddFault({sim::Fault::Reject, 46, 1, 1});
        if (step == ReadImage) s.unit.AddFault({sim::Fault::Reject, 58, 1, 1});
        if (step == Compare)
            clock.hook = [&] {   // the image file changes under the write: the read-back differs
                if (corrupted || s.unit.RequestCount(46) == 0) return;
                QFile f(image);
                if (f.open(QIODevice::ReadWrite)) {
                    f.write("\xFF\xFE", 2);
                    corrupted = true;
                }
            };
        s.prompter.files = {image};
        s.prompter.answers = {platform::mrYes, platform::mrCancel};   // no old configuration: go on
        const bool done = page->btnWriteFirmwareClick();
        clock.hook = nullptr;
        EXPECT_EQ(s.unit.RebootCount(), 0);
        EXPECT_EQ(AppFlags::RelaunchRequested, 0);
        if (step == FinalCancel) {
            EXPECT_TRUE(done);
            EXPECT_EQ(Status(), QByteArray("1\n1\n0\n"));
            EXPECT_FALSE(s.Form().isVisible());   // the program ends without a restart
            continue;
        }
        EXPECT_FALSE(done);
        EXPECT_TRUE(Status().isEmpty()) << Status().toStdString();
        EXPECT_EQ(s.unit.RequestCount(58) > 0, step != WriteImage);   // no read-back after a failed write
        EXPECT_TRUE(ButtonsEnabled());
        EXPECT_TRUE(s.Form().PageControlMain()->isEnabled());
        // The texts are the upgrade road's: the failed write's own report, then nothing of the
        // flow's; a read-back that failed and left no file is a missing file, told with the data
        // folder; one that differs is a failed verification.
        const QString ask = QStringLiteral("Are you sure you want to write firmware without Reading Old Configuration first?");
        const QString missing = QStringLiteral("File ") + image + QStringLiteral(" or K41rb.tmp are missing error.\n") +
                                QStringLiteral("current directory is ") + SecurityChk::Instance().GetFolder();
        const QStringList expected[] = {
            {ask, QStringLiteral(" Write Image fail!")},
            {ask, QStringLiteral(" Read Image fail!"), missing},
            {ask, QStringLiteral("Verification fail! Please Write Image again.")},
        };
        EXPECT_EQ(s.prompter.Texts(), expected[step]);
        // The failed write is not taken as a written one: a merge still asks.
        EXPECT_EQ(s.Form().UpgradeWindow()->StepFlag(1), 0);
    }
}

TEST_F(UpgradeFlows, WriteFirmwareFromLoggedOffConnectsFirstAndStopsWhenThatFails)
{
    s.Form().tbtnLogoffClick();
    s.wire.Stop();
    s.prompter.prompts.clear();
    EXPECT_FALSE(page->btnWriteFirmwareClick());
    EXPECT_TRUE(s.prompter.fileRequests.empty());
    EXPECT_FALSE(s.Form().LoggedOn());
    EXPECT_EQ(s.unit.RequestCount(46), 0);
}

TEST_F(UpgradeFlows, MergeLaysTheOldConfigurationOverTheNewFirmwareAndStoresIt)
{
    ASSERT_TRUE(page->btnReadOldConfigClick());
    // The new firmware came up with its own value.
    s.unit.SetValue(sim::DbId{kPurgeTime}, 7);
    s.unit.ClearLog();
    s.prompter.prompts.clear();
    EXPECT_TRUE(page->btnMergeFirmwareClick());   // no question: firmware counts as written in this run
    EXPECT_FALSE(s.prompter.Saw(QStringLiteral("Have you written new Firmware? Continue?")));
    EXPECT_EQ(s.unit.Value(sim::DbId{kPurgeTime}), 321.0);
    EXPECT_EQ(s.unit.Value(sim::DbId{kPurgeTime}, sim::Copy::Flash), 321.0);
    EXPECT_EQ(s.unit.RequestCount(62), 1);
    EXPECT_FALSE(QFile::exists(OldConfig()));
    EXPECT_EQ(Status(), QByteArray("0\n0\n0\n"));
    EXPECT_EQ(Dated(upgradeflow::kPostMergeSuffix).size(), 1);
    EXPECT_TRUE(s.prompter.Saw(QStringLiteral("Please power cycle your analyzer.\n"
                                              "After pressing OK button, GUI will automatically LOG OFF.\n"
                                              "After power cycling the analyzer, you will have to LOG ON again.")));
    EXPECT_FALSE(s.Form().LoggedOn());
}

TEST_F(UpgradeFlows, MergeStopsAtEachFailedStepWithoutAFlashStoreAndKeepsTheOldConfiguration)
{
    const struct {
        const char* name;
        int rejectType;      // -1: the old configuration file is spoilt instead
        bool storeAsked;     // the flash store was asked (and refused)
    } kSteps[] = {
        {"full read", 50, false}, {"old file", -1, false}, {"direct write", 4, false},
        {"sequencer", 62, false}, {"flash store", 8, true},
    };
    for (const auto& c : kSteps) {
        SCOPED_TRACE(c.name);
        if (!s.Form().LoggedOn()) {
            ASSERT_TRUE(s.LogOn(true));
            s.Show(MainPage::Maintenance);
        }
        s.unit.ClearFaults();
        ASSERT_TRUE(page->btnReadOldConfigClick());
        const QByteArray status = Status();
        if (c.rejectType < 0) {
            QFile f(OldConfig());
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write("not a configuration");
        }
        s.unit.SetValue(sim::DbId{kPurgeTime}, 7);
        s.unit.ClearLog();
        s.prompter.prompts.clear();
        if (c.rejectType >= 0) s.unit.AddFault({sim::Fault::Reject, c.rejectType, sim::kForever, 0});
        EXPECT_FALSE(page->btnMergeFirmwareClick());
        s.unit.ClearFaults();
        EXPECT_EQ(s.unit.RequestCount(8) > 0, c.storeAsked);
        EXPECT_EQ(s.unit.Value(sim::DbId{kPurgeTime}, sim::Copy::Flash), 7.0);
        EXPECT_TRUE(QFile::exists(OldConfig()));
        EXPECT_EQ(Status(), status);
        EXPECT_TRUE(Dated(upgradeflow::kPostMergeSuffix).isEmpty());
        ASSERT_FALSE(s.prompter.prompts.empty());
        EXPECT_TRUE(s.prompter.Texts().join(QStringLiteral("|")).contains(QStringLiteral("The merge stopped")));
        EXPECT_TRUE(ButtonsEnabled());
        EXPECT_TRUE(s.Form().PageControlMain()->isEnabled());
        if (c.rejectType == 4) {
            EXPECT_EQ(s.unit.RequestCount(62), 0);
        }
    }
}

// A merge refused before it starts (no old configuration; new firmware not confirmed) writes
// nothing, gives the buttons back and leaves the upgrade window busy.
TEST_F(UpgradeFlows, MergeRefusedBeforeItStartsWritesNothingAndLeavesTheWindowBusy)
{
    const QString readFirst = QStringLiteral("Please Read Old Configuration, \n\nand then Write Firmware.\n\nThanks.");
    const QString written = QStringLiteral("Have you written new Firmware? Continue?");
    const struct {
        const char* name;
        bool oldConfig;
        QString asked;
    } kCases[] = {
        {"no old configuration", false, readFirst},
        {"new firmware not confirmed", true, written},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        if (c.oldConfig) {
            QFile f(OldConfig());
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write("old\n");
        }
        s.Form().UpgradeWindow()->SetStepFlags(1, 0, 0);   // as after a restart with no written firmware
        s.Form().fmUpgrade()->UpgradeIdle = 1;
        s.unit.ClearLog();
        s.prompter.prompts.clear();
        s.prompter.answers = {platform::mrNo};
        EXPECT_FALSE(page->btnMergeFirmwareClick());
        EXPECT_EQ(s.prompter.Texts(), QStringList{c.asked});
        EXPECT_EQ(s.unit.RequestCount(), 0);
        EXPECT_TRUE(ButtonsEnabled());
        EXPECT_EQ(s.Form().fmUpgrade()->UpgradeIdle, 0);
        EXPECT_EQ(QFile::exists(OldConfig()), c.oldConfig);
    }
}

}  // namespace
