// The address book of TCP endpoints and its file.
#include "pollard/address_book.h"
#include "tests/common/huge_file.h"

#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using pollard::AddrItem;
using pollard::PortAddrMgr;

const QString kFile = QStringLiteral("addrInfo.cfg");

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

class AddressBook : public ::testing::Test {
protected:
    QTemporaryDir program;
    QTemporaryDir user;
    QString FilePath() const { return program.filePath(kFile); }
    PortAddrMgr Book() const { return PortAddrMgr(program.path(), user.path()); }
};

TEST_F(AddressBook, LinesOfThreeFieldsLoadAndOthersAreSkipped)
{
    WriteAll(FilePath(),
             "Plant 1,10.0.0.5,502\n"
             "\n"
             "no comma at all\n"
             "one,comma\n"
             "too,many,commas,here\n"
             "Lab,lab-analyzer.example.com,telnet\n"
             "Dock,192.168.1.20, 4001x\r\n");
    PortAddrMgr book = Book();
    ASSERT_EQ(book.Load(kFile), 0);
    ASSERT_EQ(book.Count(), 3);
    EXPECT_EQ(book.GetAt(0), (AddrItem{"Plant 1", "10.0.0.5", 502}));
    EXPECT_EQ(book.GetAt(1), (AddrItem{"Lab", "lab-analyzer.example.com", 0}));   // no number: 0
    EXPECT_EQ(book.GetAt(2), (AddrItem{"Dock", "192.168.1.20", 4001}));           // leading number
}

TEST_F(AddressBook, SaveWritesOneLinePerEntryAndLoadsBackTheSame)
{
    PortAddrMgr book = Book();
    book.Add(QStringLiteral("Plant 1"), QStringLiteral("10.0.0.5"), 502);
    // Long host names and descriptions, and a description with commas and quotes, survive.
    const QString longHost = QStringLiteral("analyzer-number-seventeen.north-plant.example.com");
    const QString longDesc = QStringLiteral("Sulphur analyzer on the north side of the tail gas unit");
    book.Add(longDesc, longHost, 10001);
    book.Add(QStringLiteral("Unit 3, \"east\" rack"), QStringLiteral("10.0.0.7"), 23);
    book.Add(QStringLiteral("\"quoted\""), QStringLiteral("10.0.0.8"), -5);
    ASSERT_TRUE(book.Save(kFile));
    EXPECT_EQ(book.SavedPath(), FilePath());

    const QByteArray text = ReadAll(FilePath());
    EXPECT_TRUE(text.startsWith("Plant 1,10.0.0.5,502\n" + longDesc.toUtf8() + "," + longHost.toUtf8() + ",10001\n"))
        << text.constData();
    EXPECT_TRUE(text.contains("\"Unit 3, \"\"east\"\" rack\",10.0.0.7,23\n")) << text.constData();

    PortAddrMgr back = Book();
    ASSERT_EQ(back.Load(kFile), 0);
    ASSERT_EQ(back.Count(), book.Count());
    for (int i = 0; i < book.Count(); ++i) EXPECT_EQ(back.GetAt(i), book.GetAt(i)) << i;
    // And a second save gives the same bytes.
    ASSERT_TRUE(back.Save(kFile));
    EXPECT_EQ(ReadAll(FilePath()), text);
}

TEST_F(AddressBook, MalformedQuotedDescriptionsAreSkipped)
{
    const char* lines[] = {"\"open quote,10.0.0.1,23", "\"closed\"x,10.0.0.1,23", "\"closed\",10.0.0.1",
                           "\"closed\",10.0.0.1,23,9"};
    for (const char* line : lines) {
        AddrItem item;
        EXPECT_FALSE(PortAddrMgr::ParseLine(QString::fromUtf8(line), item)) << line;
    }
}

// A book is some kilobytes: a file of gigabytes (sparse, so it costs no disk) is not read.
TEST_F(AddressBook, AFileFarLargerThanABookIsNotRead)
{
    ASSERT_TRUE(testsupport::MakeSparseFile(FilePath(), "Plant 1,10.0.0.5,502\n", qint64(3) << 30));
    PortAddrMgr book = Book();
    book.Add(QStringLiteral("stale"), QStringLiteral("1.2.3.4"), 1);
    const long before = testsupport::PeakResidentMb();
    EXPECT_EQ(book.Load(kFile), -1);
    EXPECT_EQ(book.Count(), 0);
    EXPECT_LE(testsupport::PeakResidentMb() - before, 64 + testsupport::kSanitizerPeakSlackMb);
}

TEST_F(AddressBook, MissingFileGivesAnEmptyBookAndTheNextSaveCreatesIt)
{
    PortAddrMgr book = Book();
    book.Add(QStringLiteral("stale"), QStringLiteral("1.2.3.4"), 1);
    EXPECT_EQ(book.Load(kFile), -1);
    EXPECT_EQ(book.Count(), 0);
    book.Add(QStringLiteral("a"), QStringLiteral("1.2.3.4"), 23);
    ASSERT_TRUE(book.Save(kFile));
    EXPECT_EQ(ReadAll(FilePath()), QByteArray("a,1.2.3.4,23\n"));
}

TEST_F(AddressBook, ListOperations)
{
    PortAddrMgr book = Book();
    book.InsertAt(0, QStringLiteral("b"), QStringLiteral("2"), 2);   // into an empty list
    book.InsertAt(0, QStringLiteral("a"), QStringLiteral("1"), 1);
    book.InsertAt(2, QStringLiteral("c"), QStringLiteral("3"), 3);   // at the count: appends
    ASSERT_EQ(book.Count(), 3);
    EXPECT_EQ(book.GetAt(0).description, QStringLiteral("a"));
    EXPECT_EQ(book.GetAt(2).description, QStringLiteral("c"));

    book.ReplaceAt(1, QStringLiteral("B"), QStringLiteral("22"), 22);
    book.ReplaceAt(7, QStringLiteral("x"), QStringLiteral("x"), 0);   // no such entry
    book.Delete(-1);
    book.Delete(3);
    ASSERT_EQ(book.Count(), 3);
    EXPECT_EQ(book.GetAt(1), (AddrItem{"B", "22", 22}));

    // Find and Contains look at descriptions only, and case matters.
    EXPECT_EQ(book.Find(QStringLiteral("B")), 1);
    EXPECT_EQ(book.Find(QStringLiteral("b")), -1);
    EXPECT_EQ(book.Find(QStringLiteral("22")), -1);
    EXPECT_TRUE(book.Contains(QStringLiteral("c")));
    EXPECT_FALSE(book.Contains(QStringLiteral("C")));
    EXPECT_EQ(book.FindAddress(QStringLiteral("22")), 1);

    book.Delete(0);
    EXPECT_EQ(book.GetAt(0).description, QStringLiteral("B"));
}

TEST_F(AddressBook, UnwritableProgramFolderKeepsTheBookInTheUserFolder)
{
    // A program folder that cannot take files: here a path that is no folder at all, which
    // holds for every user (permissions do not stop the superuser).
    const QString noFolder = program.filePath(QStringLiteral("not-a-folder"));
    WriteAll(noFolder, "x");
    PortAddrMgr book(noFolder, user.path());
    book.Add(QStringLiteral("a"), QStringLiteral("1.2.3.4"), 23);
    ASSERT_TRUE(book.Save(kFile));
    EXPECT_EQ(book.SavedPath(), user.filePath(kFile));
    EXPECT_EQ(ReadAll(user.filePath(kFile)), QByteArray("a,1.2.3.4,23\n"));

    PortAddrMgr back(noFolder, user.path());
    ASSERT_EQ(back.Load(kFile), 0);
    ASSERT_EQ(back.Count(), 1);
    EXPECT_EQ(back.GetAt(0), (AddrItem{"a", "1.2.3.4", 23}));
}

TEST_F(AddressBook, ReadOnlyProgramFolderKeepsTheBookInTheUserFolder)
{
    QFile::setPermissions(program.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (QFileInfo(program.path()).isWritable()) GTEST_SKIP() << "folder permissions are not enforced here";
    PortAddrMgr book = Book();
    book.Add(QStringLiteral("a"), QStringLiteral("1.2.3.4"), 23);
    ASSERT_TRUE(book.Save(kFile));
    EXPECT_EQ(book.SavedPath(), user.filePath(kFile));
    EXPECT_FALSE(QFile::exists(FilePath()));

    PortAddrMgr back = Book();
    ASSERT_EQ(back.Load(kFile), 0);
    EXPECT_EQ(back.Count(), 1);
    QFile::setPermissions(program.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST_F(AddressBook, FailedSaveSaysSoAndKeepsTheOldFile)
{
    WriteAll(FilePath(), "old,1.1.1.1,23\n");
    // Neither folder can take the file: the fallback is a plain file, not a folder.
    const QString notAFolder = user.filePath(QStringLiteral("plain"));
    WriteAll(notAFolder, "x");
    PortAddrMgr book(program.filePath(QStringLiteral("missing/sub")), notAFolder);
    book.Add(QStringLiteral("new"), QStringLiteral("2.2.2.2"), 23);
    EXPECT_FALSE(book.Save(kFile));
    EXPECT_EQ(ReadAll(FilePath()), QByteArray("old,1.1.1.1,23\n"));
}

TEST(SearchTokenSplit, Cases)
{
    const struct {
        const char* text;
        QStringList tokens;
    } cases[] = {
        {"", {}},
        {"no delimiter", {}},
        {"a,b,c", {"a", "b", "c"}},
        {",,", {"", "", ""}},
        {"a,", {"a", ""}},
        {"desc,an-address-much-longer-than-twenty-five-characters,502",
         {"desc", "an-address-much-longer-than-twenty-five-characters", "502"}},
    };
    for (const auto& c : cases) {
        const pollard::SearchToken t(QString::fromUtf8(c.text), QLatin1Char(','));
        ASSERT_EQ(t.Count(), c.tokens.size()) << c.text;
        for (int i = 0; i < t.Count(); ++i) EXPECT_EQ(t.Token(i), c.tokens[i]) << c.text;
        EXPECT_EQ(t.Token(t.Count()), QString());
        EXPECT_EQ(t.Token(-1), QString());
    }
}

}  // namespace
