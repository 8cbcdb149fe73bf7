// The archive end to end, logged on to the simulated analyzer: "Read Archive from Analyzer"
// reads the log configuration and the archive memory, the page shows the chosen log with its
// columns and values, the archive is saved as XML, and, with the analyzer gone, "Read Archive
// from File" brings back the same tables.
#include "tests/pages/kit/log_records.h"
#include "tests/pages/page_session.h"
#include "tests/sim/core/archive_frames.h"
#include "tevrin/pages/analysis/fra_archive_viewer.h"
#include "tevrin/pages/analysis/log_db_manager.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/shell/main_form.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QLocale>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

LogConfigRecord Log(uint8_t id, std::initializer_list<uint16_t> points)
{
    LogConfigRecord r = logtest::Log(id, points);
    r.Frequency = 1;
    r.UniqueId[0] = 388;
    return r;
}

struct Shown {
    QStringList headers;
    std::vector<QStringList> rows;
    QString count;
    bool operator==(const Shown& o) const { return headers == o.headers && rows == o.rows && count == o.count; }
};

Shown Table(TfraArchiveViewer& page, int position)
{
    page.cbArchive()->setCurrentIndex(position);
    emit page.cbArchive()->activated(position);
    Shown s;
    QAdvColumnGrid* grid = page.gridArchive();
    for (int c = 0; c < grid->ColCount(); ++c) s.headers << grid->ColumnHeader(c);
    for (int r = 0; r < grid->RowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < grid->ColCount(); ++c) row << grid->Cells(c, r);
        s.rows.push_back(row);
    }
    s.count = page.LogRecordNum()->text();
    return s;
}

}  // namespace

TEST(ArchiveSession, ReadShownSavedAndOpenedAgainWithoutTheAnalyzer)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    pagetest::PageSession session;
    session.unit.SetLogConfig(0, Log(21, {395, 10}));        // On Run: float, u16
    session.unit.SetLogConfig(1, Log(22, {500, 392, 410}));  // Hourly: u32, stream from 1, u8
    std::vector<sim::ArchiveFrame> frames;
    for (uint32_t k = 0; k < 120; ++k) {
        if (k % 3 == 0)
            frames.push_back({22, 0x20000000u + k * 3600, {{0xDE000000u + k, 4}, {k % 4, 1}, {0xDE, 1}}});
        else
            frames.push_back({21, 0x20000000u + k * 3600, {{sim::FloatBits(0.5f * k), 4}, {0xDE00u + k, 2}}});
    }
    session.unit.SetArchiveMemory(sim::ArchiveMemory(frames, 50));   // a ring that wrapped
    ASSERT_TRUE(session.LogOn());
    session.Show(MainPage::Archive);
    TfraArchiveViewer& page = *session.Form().fraArchiveViewer();

    QTemporaryDir dir;
    const QString path = dir.filePath("archive.xml");
    session.prompter.files = {path};   // the save dialog that follows the read
    page.btnReadFromUnit()->click();
    ASSERT_TRUE(QFile::exists(path));
    EXPECT_EQ(LogDBManager::Instance()->EntryCount(), 120);

    const Shown onRun = Table(page, 0);
    EXPECT_EQ(onRun.count, "80");
    EXPECT_EQ(page.edtDispRange()->text(), "50");
    EXPECT_EQ(onRun.headers.mid(3, 3), (QStringList{"Current Analysis Result", "Purge Time", ""}));
    ASSERT_EQ(onRun.rows.size(), 50u);
    // The newest sample last: frame 119.
    EXPECT_EQ(onRun.rows.back().mid(0, 2), (QStringList{"80", "On Run"}));
    EXPECT_EQ(onRun.rows.back().mid(3, 3), (QStringList{"59.5", QString::number(0xDE00 + 119), ""}));
    EXPECT_EQ(onRun.rows.front()[4], QString::number(0xDE00 + 46));   // sample 31 of On Run is frame 46
    const Shown hourly = Table(page, 1);
    EXPECT_EQ(hourly.count, "40");
    EXPECT_EQ(hourly.headers.mid(3, 4), (QStringList{"Rosetta Version", "Stream (Stream)", "Latch State R1", ""}));
    EXPECT_EQ(hourly.rows.back().mid(3, 3), (QStringList{QString::number(0xDE000000u + 117), "2", "222"}));

    // The analyzer goes; the file brings the same tables back.
    session.wire.Stop();
    LogDBManager::Instance()->Clear();
    for (int p = 0; p < kLogCount; ++p) DataBase::Instance()->LogRecord(p) = LogConfigRecord{};
    session.prompter.files = {path};
    page.btnReadFromFile()->click();
    EXPECT_TRUE(page.FromFile());
    EXPECT_EQ(LogDBManager::Instance()->EntryCount(), 120);
    EXPECT_EQ(Table(page, 0), onRun);
    EXPECT_EQ(Table(page, 1), hourly);
    QLocale::setDefault(QLocale::system());
}
