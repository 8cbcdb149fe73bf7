// Every file the program saves, saved while the disk cannot take a byte more, or only part of the
// file: the save fails, the old file stays byte for byte, no temporary file is left, and the
// reason is in words.
#include "tests/common/failed_save_check.h"
#include "tests/shell/cmd_fixture.h"
#include "tevrin/pages/analysis/archive_chart.h"
#include "tevrin/pages/analysis/archive_csv.h"
#include "tevrin/pages/analysis/archive_xml.h"
#include "tevrin/pages/analysis/log_db_manager.h"
#include "tevrin/pages/analysis/run_report.h"
#include "tevrin/pages/widgets/adv_column_grid.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/rtdb/modmap_adapter.h"
#include "tevrin/rtdb/write_trace.h"
#include "tevrin/shell/config_file.h"
#include "tevrin/shell/security_chk.h"
#include "tevrin/shell/upgrade.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

class FailedSavesTest : public cmdtest::CommandTest {
protected:
    QTemporaryDir dir;
};

QString UserIniPath(const char* key)
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QLatin1String(key)).fileName();
}

// An event list of some 30 kB: its file goes to the disk in one write, past the file's buffer.
void FillEventGrid(QAdvColumnGrid& grid)
{
    grid.SetColCount(2);
    grid.SetRowCount(1000);
    for (int r = 0; r < 1000; ++r) {
        grid.SetCells(0, r, QStringLiteral("12:%1").arg(r % 60, 2, 10, QLatin1Char('0')));
        grid.SetCells(1, r, QStringLiteral("Alarm %1: sample flow low").arg(r));
    }
}

}  // namespace

TEST_F(FailedSavesTest, EverySaveOnADiskThatFillsFailsKeepsTheOldFileAndSaysWhy)
{
    SecurityChk::Instance().SetAppDataFolder(dir.path());
    LogConfigRecord logs[kLogCount]{};
    using Save = std::function<bool(const QString& path, QString& why)>;
    const struct {
        const char* kind;
        QString path;
        Save save;
        bool appends = false;   // adds to the end of the file
    } cases[] = {
        {"Modbus list file", dir.filePath(QStringLiteral("list.mbl")),
         [](const QString& path, QString& why) {
             const bool ok = ModmapAdapter::Instance()->SaveToFile(path) == 0;
             why = ModmapAdapter::Instance()->LastError();
             return ok;
         }},
        {"password file", dir.filePath(QLatin1String(SecurityChk::kPasswordFileName)),
         [](const QString&, QString& why) { return SecurityChk::Instance().SetPassword("new", &why); }},
        {"upgrade status file", dir.filePath(QStringLiteral("UpgradeStatus.dat")),
         [](const QString& path, QString& why) {
             TfmUpgrade window;
             window.StepDone = {1, 1, 0};
             return window.SaveStatus(path, &why) == 0;
         }},
        {"configuration file", dir.filePath(QStringLiteral("unit.cfg")),
         [this](const QString& path, QString& why) { return config_file::Save(*db, path, &why); }},
        {"report file", dir.filePath(QStringLiteral("report1.rpt")),
         [](const QString& path, QString& why) {
             ReportContent content;
             content.labId = QStringLiteral("LAB");
             content.sampleName = QStringLiteral("sample");
             return SaveReportFile(path, content, why);
         }},
        {"write log", dir.filePath(QStringLiteral("WriteLog.txt")),
         [this](const QString& path, QString& why) {
             prompter.prompts.clear();
             const bool ok = write_trace::AppendLines({"one line", "another"}, path);
             why = prompter.Texts().join(QLatin1Char('|'));
             return ok;
         },
         true},
        {"archive XML file", dir.filePath(QStringLiteral("archive.xml")),
         [&logs](const QString& path, QString& why) {
             return WriteArchiveXml(path, *LogDBManager::Instance(), logs, &why, {});
         }},
        {"archive CSV export", dir.filePath(QStringLiteral("archive.csv")),
         [&logs](const QString& path, QString& why) {
             return WriteLegalCsv(path, *LogDBManager::Instance(), logs, &why);
         }},
        {"grid file", dir.filePath(QStringLiteral("events.grd")),
         [](const QString& path, QString& why) {
             QAdvColumnGrid grid;
             FillEventGrid(grid);
             return grid.SaveToFile(path, &why);
         }},
        {"grid file of megabytes (written straight through)", dir.filePath(QStringLiteral("archive.grd")),
         [](const QString& path, QString& why) {
             QAdvColumnGrid grid;
             grid.SetColCount(1);
             grid.SetRowCount(40000);
             for (int r = 0; r < 40000; ++r) grid.SetCells(0, r, QString(60, QLatin1Char('v')));
             return grid.SaveToFile(path, &why);
         }},
        {"grid CSV export", dir.filePath(QStringLiteral("events.csv")),
         [](const QString& path, QString& why) {
             QAdvColumnGrid grid;
             FillEventGrid(grid);
             return grid.SaveToCSV(path, QLatin1Char(','), &why);
         }},
        {"grid spreadsheet export", dir.filePath(QStringLiteral("events.xlsx")),
         [](const QString& path, QString& why) {
             QAdvColumnGrid grid;
             grid.SetColCount(1);
             grid.SetRowCount(1);
             grid.SetCells(0, 0, QStringLiteral("Alarm"));
             return grid.SaveToXLSX(path, &why);
         }},
        {"grid column widths", UserIniPath("SenR27"),
         [this](const QString&, QString& why) {
             prompter.prompts.clear();
             {
                 QAdvColumnGrid grid;
                 grid.SetColCount(64);
                 grid.SetColumnWidthsKey(QStringLiteral("SenR27"), QStringLiteral("ArchReader"));
                 for (int c = 0; c < 64; ++c) grid.setColumnWidth(c, 40 + c);
             }   // stored as the grid goes
             why = prompter.Texts().join(QLatin1Char('|'));
             return why.isEmpty();
         }},
        {"chart colours", UserIniPath("Sentrel"),
         [this](const QString&, QString& why) {
             prompter.prompts.clear();
             TArchiveChart chart;
             chart.ResetDefaultColors();
             why = prompter.Texts().join(QLatin1Char('|'));
             return why.isEmpty();
         }},
    };
    const QByteArray old = QByteArrayLiteral("the old file, which must survive\r\n");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        testsupport::ExpectFailedSaveKeepsTheOldFile(c.path, old, c.appends, c.save);
    }
}

// The password file holds the digest of the password that opens Update mode: a new password
// that could not be stored leaves the old one working.
TEST_F(FailedSavesTest, APasswordThatCouldNotBeStoredLeavesTheOldOneWorking)
{
    SecurityChk& security = SecurityChk::Instance();
    security.SetAppDataFolder(dir.path());
    ASSERT_TRUE(security.SetPassword("first"));
    QString why;
    {
        testsupport::FileSizeLimit full(0);
        EXPECT_FALSE(security.SetPassword("second", &why));
    }
    EXPECT_EQ(why, QStringLiteral("File too large"));
    EXPECT_TRUE(security.CheckPassword("first"));
    EXPECT_FALSE(security.CheckPassword("second"));
}
