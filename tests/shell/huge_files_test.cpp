// Every reader of a file the user chooses or the program keeps, given a file of gigabytes
// (sparse, so the test costs no disk): each refuses it, or reads only what its format can
// hold, without taking the file's size in memory.
#include "tests/common/huge_file.h"
#include "tests/shell/cmd_fixture.h"
#include "platform/data_folder.h"
#include "tevrin/pages/analysis/archive_xml.h"
#include "tevrin/pages/analysis/run_report.h"
#include "tevrin/pages/display_places_file.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/rtdb/modmap_adapter.h"
#include "tevrin/shell/config_file.h"
#include "tevrin/shell/security_chk.h"
#include "tevrin/shell/upgrade.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr qint64 kHuge = qint64(3) << 30;
// What a reader may take beyond what the process held before, in megabytes.
constexpr long kMemoryAllowanceMb = 64 + testsupport::kSanitizerPeakSlackMb;

class HugeFilesTest : public cmdtest::CommandTest {
protected:
    QTemporaryDir dir;
};

}  // namespace

TEST_F(HugeFilesTest, ReadersRefuseFilesFarLargerThanTheirFormatCanHoldWithoutReadingThem)
{
    SecurityChk::Instance().SetAppDataFolder(dir.path());
    using Read = std::function<void(const QString& path)>;
    const struct {
        const char* kind;
        QString path;
        QByteArray start;
        Read read;   // reads the file and checks what came of it
    } cases[] = {
        {"configuration file", dir.filePath("unit.cfg"), "<ConfigurationDatabase>",
         [this](const QString& path) {
             const config_file::ReadResult r = config_file::Open(*db, path, nullptr);
             EXPECT_FALSE(r.ok);
             EXPECT_TRUE(r.error.contains(QLatin1String("a configuration file holds at most"))) << r.error.toStdString();
         }},
        {"upgrade status file", dir.filePath("UpgradeStatus.dat"), "1\n1\n1\n",
         [](const QString& path) {
             TfmUpgrade window;
             window.StepDone = {0, 0, 0};
             EXPECT_EQ(window.ReadStatus(path), 3);
             EXPECT_EQ(window.StepDone, (std::array<uint8_t, 3>{0, 0, 0}));
         }},
        {"upgrade status file with a huge line", dir.filePath("UpgradeStatus.dat"), "1\n1",
         [](const QString& path) {
             TfmUpgrade window;
             window.StepDone = {0, 0, 0};
             EXPECT_EQ(window.ReadStatus(path), 3);
         }},
        {"report options", dir.filePath("ReportConfig.xml"), "<a><LabID>L</LabID>",
         [](const QString& path) {
             ReportOptions options;
             EXPECT_TRUE(LoadReportOptions(path, options));
             EXPECT_EQ(options.labId, QString());
         }},
        {"display places", platform::UserDataFile(QStringLiteral("dispPlace.cfg")), "3",
         [](const QString&) { EXPECT_EQ(ReadDisplayPlaces(), -1); }},
        {"Modbus list file", dir.filePath("list.mbl"), "",
         [](const QString& path) {
             EXPECT_EQ(ModmapAdapter::Instance()->LoadFromFile(path), 3);
             EXPECT_TRUE(ModmapAdapter::Instance()->LastError().contains(QLatin1String("more than")));
         }},
        {"password file", SecurityChk::Instance().PasswordFilePath(), "",
         [](const QString&) { EXPECT_FALSE(SecurityChk::Instance().CheckPassword("anything")); }},
        {"archive XML file", dir.filePath("archive.xml"), "<LOGDB><Point ParametersInLog=\"",
         [](const QString& path) {
             ArchiveFile file;
             QString why;
             EXPECT_FALSE(ReadArchiveXml(path, file, &why));
             EXPECT_FALSE(why.isEmpty());
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        ASSERT_TRUE(testsupport::MakeSparseFile(c.path, c.start, kHuge));
        const long before = testsupport::PeakResidentMb();
        c.read(c.path);
        EXPECT_LE(testsupport::PeakResidentMb() - before, kMemoryAllowanceMb);
        QFile::remove(c.path);
    }
}

// An archive file's items are short: one of many megabytes inside a good start is refused
// before the reader has gathered it whole.
TEST_F(HugeFilesTest, AnArchiveItemOfManyMegabytesIsRefusedWhileItIsRead)
{
    const QString path = dir.filePath("archive.xml");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<LOGDB><Point ParametersInLog=\"1\"><TimeStamp>");
        const QByteArray block(1 << 20, 'a');
        for (int i = 0; i < 160; ++i) file.write(block);
        file.write("</TimeStamp></Point></LOGDB>");
    }
    const long before = testsupport::PeakResidentMb();
    ArchiveFile file;
    QString why;
    EXPECT_FALSE(ReadArchiveXml(path, file, &why));
    EXPECT_TRUE(why.contains(QLatin1String("an item longer than"))) << why.toStdString();
    EXPECT_LE(testsupport::PeakResidentMb() - before, 128 + testsupport::kSanitizerPeakSlackMb);
}
