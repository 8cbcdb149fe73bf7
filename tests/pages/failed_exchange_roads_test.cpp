// The roads that write a configuration into the analyzer, or read one from it into a file, stop
// at the first step the analyzer fails: the failing command has said why, nothing after it is
// sent, nothing is stored in the unit's flash, no reboot follows, and no file is written or
// claimed saved.
#include "brannix/qedit.h"
#include "tests/common/modal_answer.h"
#include "tests/pages/page_session.h"
#include "tevrin/pages/config/fra_analyzer_global.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/shell/config_file.h"
#include "tevrin/shell/confirm_changes_dlg.h"
#include "tevrin/shell/main_form.h"

#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using pagetest::PageSession;

const QString kRebootBox = QStringLiteral("Please press OK button.\n"
                                          "After pressing OK button, analyzer will automatically reboot, and GUI "
                                          "will LOG OFF.\n"
                                          "After reboot, you will have to LOG ON again.");
const QByteArray kOldContents = "old contents\n";

int TypeOf(const QByteArray& request) { return request.size() > 1 ? static_cast<uint8_t>(request[1]) : -1; }

// The write requests of other types than `type` that the unit got after the (skip + 1)-th
// request of `type`, the one the fault hit; "missing" when that request never came.
std::vector<std::string> WritesAfterTheFailure(const sim::AnalyzerCore& unit, int type, int skip)
{
    const std::vector<QByteArray> requests = unit.Requests();
    size_t i = 0;
    for (int seen = 0; i < requests.size(); ++i)
        if (TypeOf(requests[i]) == type && seen++ == skip) break;
    if (i == requests.size()) return {"missing"};
    std::vector<std::string> after;
    for (++i; i < requests.size(); ++i) {
        const int t = TypeOf(requests[i]);
        if (t != type && PageSession::IsWriteType(t)) after.push_back(std::to_string(t));
    }
    return after;
}

std::string Joined(const QStringList& texts) { return texts.join(QStringLiteral(" | ")).toStdString(); }

// Logs on in Update mode, saves the unit's configuration to `file` and clears what the unit
// and the prompter saw, so that the Open road that follows is all they see.
void LogOnAndSaveTheUnit(PageSession& s, const QString& file)
{
    ASSERT_TRUE(s.LogOn(true));
    QString error;
    ASSERT_TRUE(config_file::Save(*DataBase::Instance(), file, &error)) << error.toStdString();
    s.unit.ClearLog();
    s.prompter.prompts.clear();
}

}  // namespace

TEST(FailedExchangeRoads, OpenWrittenIntoTheUnitStopsAtTheFirstFailedStep)
{
    const struct Case {
        const char* name;
        sim::Fault fault;
        int type;   // the request type that fails
        int skip;   // requests of that type that go through first
        // The words of the one box that tells of the failure: the failing command's own, or,
        // where the command only set a status text, the road's.
        const char* said;
    } kCases[] = {
        {"a configuration point write refused", sim::Fault::Reject, 4, 5, "Error writing to database\n"},
        {"a log configuration write refused", sim::Fault::Reject, 38, 2, "Write Log Config. error!"},
        {"a log configuration answered with the wrong type", sim::Fault::WrongType, 38, 1,
         "The unit did not take every log configuration record.\nNothing was stored to the Flash"},
        {"the sequencer block refused", sim::Fault::Reject, 62, 0, "Nothing was stored to the Flash"},
        {"the store to flash refused", sim::Fault::Reject, 8, 0, " Write Config. fail!"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        PageSession s;
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("unit.cfg"));
        LogOnAndSaveTheUnit(s, file);
        if (::testing::Test::HasFatalFailure()) return;
        sim::FaultRule rule;
        rule.fault = c.fault;
        rule.type = c.type;
        rule.skip = c.skip;
        s.unit.AddFault(rule);

        s.prompter.files = {file};
        s.prompter.answers = {platform::mrYes};   // write it into the unit; every other box OK
        s.Form().tbtnOpenClick();

        EXPECT_EQ(s.unit.PendingFaults(), 0) << "the failing request never came";
        EXPECT_EQ(WritesAfterTheFailure(s.unit, c.type, c.skip), std::vector<std::string>{});
        if (c.type != 8) {
            EXPECT_EQ(s.unit.RequestCount(8), 0) << "stored to flash";
        }
        EXPECT_EQ(s.unit.RebootCount(), 0);
        EXPECT_FALSE(s.prompter.Saw(kRebootBox)) << Joined(s.prompter.Texts());
        // The question whether to write, then one box that says what failed.
        ASSERT_EQ(s.prompter.prompts.size(), 2u) << Joined(s.prompter.Texts());
        EXPECT_TRUE(s.prompter.prompts[1].text.contains(QString::fromLatin1(c.said))) << Joined(s.prompter.Texts());
        EXPECT_TRUE(s.Form().LoggedOn());
        s.unit.ClearFaults();
    }
}

TEST(FailedExchangeRoads, OpenWrittenIntoTheUnitWhoseStepsAllWentThroughIsStoredAndRebooted)
{
    PageSession s;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("unit.cfg"));
    LogOnAndSaveTheUnit(s, file);
    if (::testing::Test::HasFatalFailure()) return;

    s.prompter.files = {file};
    s.prompter.answers = {platform::mrYes};
    s.Form().tbtnOpenClick();

    for (int type : {4, 38, 62, 66}) EXPECT_GT(s.unit.RequestCount(type), 0) << type;
    EXPECT_EQ(s.unit.RequestCount(8), 1);
    EXPECT_EQ(s.unit.RebootCount(), 1);
    EXPECT_TRUE(s.prompter.Saw(kRebootBox)) << Joined(s.prompter.Texts());
    EXPECT_FALSE(s.Form().LoggedOn());
}

TEST(FailedExchangeRoads, APermanentWriteWhoseWriteFailedStoresNothingInTheFlash)
{
    // The nth point write of the page's Write refused by the unit.
    for (int refused : {0, 1}) {
        SCOPED_TRACE(refused);
        PageSession s;
        ASSERT_TRUE(s.LogOn(true));
        s.ShowAfresh(MainPage::Global);
        auto* page = static_cast<TfraAnalyzerGlobal*>(s.Form().Frame(MainPage::Global));
        std::vector<TQEdit*> limits;
        for (const auto& alarm : page->alarms())
            if (alarm.limit && alarm.limit->isVisible()) limits.push_back(alarm.limit);
        ASSERT_GE(limits.size(), 2u);
        limits[0]->setText(QStringLiteral("55.5"));
        limits[1]->setText(QStringLiteral("66.5"));
        sim::FaultRule rule;
        rule.fault = sim::Fault::Reject;
        rule.type = 4;
        rule.skip = refused;
        s.unit.AddFault(rule);
        s.prompter.prompts.clear();

        int listsShown = 0;
        testsupport::AnsweringModals(
            [&listsShown](QWidget* modal) {
                if (auto* changes = qobject_cast<TfrmChanges*>(modal)) {
                    ++listsShown;
                    changes->Button1()->click();
                }
            },
            [&s] { s.Form().SetDefaultConfigClick(); });

        EXPECT_EQ(s.unit.PendingFaults(), 0) << "the refused write never came";
        EXPECT_EQ(s.unit.RequestCount(8), 0) << "stored to flash";
        EXPECT_EQ(listsShown, 0);
        bool said = false;
        for (const QString& text : s.prompter.Texts())
            said = said || text.startsWith(QStringLiteral("Error writing to database\n")) ||
                   text == QStringLiteral("Error sending data to unit.");
        EXPECT_TRUE(said) << Joined(s.prompter.Texts());
        // The read that ends the road still runs: the page shows what the unit holds, not the
        // value it refused.
        s.PumpUntilLinkIdle();
        for (TQEdit* limit : {limits[0], limits[1]})
            EXPECT_EQ(limit->text().toDouble(), s.unit.Value(sim::DbId{static_cast<int>(limit->DbId())}))
                << limit->objectName().toStdString();
        EXPECT_NE(limits[static_cast<size_t>(refused)]->text(), refused ? QStringLiteral("66.5") : QStringLiteral("55.5"));
        s.unit.ClearFaults();
    }
}

TEST(FailedExchangeRoads, ALoggedOnSaveWritesItsFileOnlyAfterBothReadsWentThrough)
{
    const struct Road {
        const char* name;
        std::function<void(PageSession&, const QString& file)> run;
    } kRoads[] = {
        {"Save",
         [](PageSession& s, const QString& file) {
             s.prompter.files = {file};
             s.Form().tbtnSaveClick();
         }},
        {"Save As over an existing file",
         [](PageSession& s, const QString& file) {
             s.prompter.files = {file};
             s.prompter.answers = {platform::mrYes};   // overwrite
             s.Form().tbtnSaveAsClick();
         }},
    };
    const struct Failure {
        const char* name;
        int type;   // the read that fails (none: -1)
        int skip;
        const char* said;   // the start of the box that tells of it
        sim::Fault fault = sim::Fault::Reject;
    } kFailures[] = {
        {"no read fails", -1, 0, ""},
        {"the full read", 50, 3, "Read error: "},
        {"the log configuration read", 36, 2, "Read Log Config. error!"},
        // The read itself goes on (the record reads as zeros), but the file would not hold
        // what the unit holds.
        {"a log configuration record of another type", 36, 2,
         "The configuration was not saved: the analyzer did not give every log configuration record.",
         sim::Fault::WrongType},
    };
    for (const Road& road : kRoads) {
        for (const Failure& failure : kFailures) {
            SCOPED_TRACE(std::string(road.name) + ", " + failure.name);
            PageSession s;
            ASSERT_TRUE(s.LogOn(true));
            s.Show(MainPage::Events);   // a page that does not poll, so Save is free to run
            QTemporaryDir dir;
            const QString file = dir.filePath(QStringLiteral("kept.cfg"));
            {
                QFile f(file);
                ASSERT_TRUE(f.open(QIODevice::WriteOnly));
                f.write(kOldContents);
            }
            s.prompter.prompts.clear();
            const bool fails = failure.type >= 0;
            if (fails) {
                sim::FaultRule rule;
                rule.fault = failure.fault;
                rule.type = failure.type;
                rule.skip = failure.skip;
                rule.times = sim::kForever;
                s.unit.AddFault(rule);
            }

            road.run(s, file);
            s.unit.ClearFaults();

            if (!fails) {
                EXPECT_TRUE(pagetest::FileContents(file).contains("<ConfigurationDatabase "));
                EXPECT_TRUE(pagetest::ClaimsSaved(s.Form()));
                continue;
            }
            bool said = false;
            for (const QString& text : s.prompter.Texts())
                said = said || text.startsWith(QString::fromLatin1(failure.said));
            EXPECT_TRUE(said) << Joined(s.prompter.Texts());
            EXPECT_EQ(pagetest::FileContents(file), kOldContents);
            EXPECT_FALSE(pagetest::ClaimsSaved(s.Form()));
        }
    }
}
