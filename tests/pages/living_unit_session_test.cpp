// A new user's first tries against the simulated analyzer as it starts by default: "Read Archive
// from Analyzer" fills every log with samples of the past days, the Events page lists every kind
// of event, and the Analysis page shows the runs going on with results that change.
#include "brannix/qlabelededit.h"
#include "tests/pages/page_session.h"
#include "tevrin/pages/analysis/audit_panel.h"
#include "tevrin/pages/analysis/fra_archive_viewer.h"
#include "tevrin/pages/analysis/fra_ww.h"
#include "tevrin/pages/analysis/frm_audit.h"
#include "tevrin/pages/analysis/log_db_manager.h"
#include "tevrin/pages/widgets/adv_column_grid.h"
#include "tevrin/shell/main_form.h"

#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

#include <set>

namespace {

// The present local time as the program's day count.
double Today()
{
    const QDateTime now = QDateTime::currentDateTime();
    return double(QDate(1899, 12, 30).daysTo(now.date())) + now.time().msecsSinceStartOfDay() / 86400000.0;
}

}  // namespace

TEST(LivingUnitSession, ReadArchiveFromAnalyzerFillsEveryLogWithSamplesOfThePastDays)
{
    pagetest::PageSession session;
    ASSERT_TRUE(session.unit.IsLiving());
    ASSERT_TRUE(session.LogOn());
    session.Show(MainPage::Archive);
    TfraArchiveViewer& page = *session.Form().fraArchiveViewer();
    QTemporaryDir dir;
    session.prompter.files = {dir.filePath("archive.xml")};   // the save dialog that follows the read
    page.btnReadFromUnit()->click();

    const LogDBManager& archive = *LogDBManager::Instance();
    ASSERT_GE(archive.EntryCount(), 300);
    const double today = Today();
    for (int k = 0; k < archive.EntryCount(); ++k) {
        const double t = archive.Entry(k)->Time;
        ASSERT_GE(t, today - 8) << "entry " << k;
        ASSERT_LE(t, today + 1.0 / 1440) << "entry " << k;
        if (k > 0) {
            ASSERT_LE(archive.Entry(k - 1)->Time, t);
        }
    }
    const char* const logs[] = {"On Run", "Hourly", "Daily", "Periodic 1", "Periodic 2"};
    for (int log = 0; log < 5; ++log) {
        SCOPED_TRACE(logs[log]);
        EXPECT_GE(archive.LogCount(log), 7);
        page.cbArchive()->setCurrentIndex(log);
        emit page.cbArchive()->activated(log);
        QAdvColumnGrid* grid = page.gridArchive();
        ASSERT_GE(grid->RowCount(), 7);
        EXPECT_EQ(grid->Cells(1, 0), QString::fromLatin1(logs[log]));
        // Time stamps and values in every row; the values differ from row to row somewhere.
        std::set<QString> firstValues;
        for (int r = 0; r < grid->RowCount(); ++r) {
            EXPECT_FALSE(grid->Cells(2, r).trimmed().isEmpty()) << "row " << r;
            EXPECT_FALSE(grid->Cells(3, r).trimmed().isEmpty()) << "row " << r;
            firstValues.insert(grid->Cells(3, r));
        }
        EXPECT_GT(firstValues.size(), 1u);
    }
    EXPECT_EQ(session.WriteRequests(), 0);
}

TEST(LivingUnitSession, EventsPageListsEveryKindOfEvent)
{
    pagetest::PageSession session;
    ASSERT_TRUE(session.LogOn());
    session.Show(MainPage::Events);
    TfrmAudit* page = session.Form().frmAudit();
    page->btnReadAudit()->click();
    QAdvColumnGrid* grid = page->gridAudit();
    ASSERT_TRUE(pagetest::PageSession::PumpUntil([&] { return grid->RowCount() > 80; }));
    std::set<QString> kinds;
    for (int r = 0; r < grid->RowCount(); ++r)
        if (!grid->Cells(TAuditGridPanel::colEvent, r).isEmpty()) kinds.insert(grid->Cells(TAuditGridPanel::colEvent, r));
    const std::set<QString> every = {"Power Up", "Time Changed", "Bypass", "Configuration Changed", "Alarm",
                                     "Exceeded low temperature limit", "Exceeded high temperature limit",
                                     "Direct Control", "Bypass Timeout", "Run initiated", "Latch change",
                                     "Automatic Temperature Calibrate"};
    EXPECT_EQ(kinds, every);
    // The memory has room: a share above nothing and below all of it.
    const double used = page->Panel()->labPercent()->text().chopped(1).toDouble();
    EXPECT_GT(used, 5.0);
    EXPECT_LT(used, 90.0);
    EXPECT_EQ(session.WriteRequests(), 0);
}

TEST(LivingUnitSession, AnalysisPageShowsTheRunsGoingOnAndNewResults)
{
    pagetest::PageSession session;
    ASSERT_TRUE(session.LogOn());
    ASSERT_EQ(session.Form().CurrentPage(), MainPage::Analysis);
    TfraWW* page = session.Form().fraWW();
    auto text = [page](const char* name) {
        return page->findChild<TQLabeledEdit*>(QString::fromLatin1(name))->text();
    };
    ASSERT_TRUE(pagetest::PageSession::PumpUntil([&] { return !text("edtLastNormal1").isEmpty(); }, 6000));
    const QString first = text("edtLastNormal1");
    EXPECT_NE(first.toDouble(), 0.0);
    EXPECT_EQ(text("ledCurrAnaState"), QStringLiteral("Idle"));
    EXPECT_EQ(text("SequencerState"), QStringLiteral("Automatic Sequencer On"));
    EXPECT_NEAR(text("edtLastCal1").toDouble(), 10.0, 0.1);

    // Two sample runs and into the sample interval of the first check, reference 1.
    session.unit.AdvanceTime(2 * sim::AnalyzerCore::LivingRunSeconds() + 25);
    EXPECT_TRUE(pagetest::PageSession::PumpUntil(
        [&] { return text("ledCurrAnaState") == QStringLiteral("Sample Interval") && text("edtLastNormal1") != first; },
        6000))
        << text("ledCurrAnaState").toStdString() << " " << text("edtLastNormal1").toStdString();
    EXPECT_EQ(text("SequencerState"), QStringLiteral("Manual Sequencer 1 On"));
    EXPECT_EQ(text("ledCurrAnaStream"), QStringLiteral("Ref 1"));
    EXPECT_EQ(session.WriteRequests(), 0);
}
