// Replays a fuzz harness over its seed corpus and over every input that once made it fail
// (tests/fuzz/corpus/NAME and tests/fuzz/found/NAME), so that the normal build keeps them
// fixed. The harness's own checks abort on a finding, which fails the test.
#include "tests/fuzz/fuzz_support.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

QStringList Inputs(const QString& folder)
{
    QStringList out;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) out << dir.filePath(name);
    return out;
}

TEST(FuzzReplay, SeedsAndFoundInputs)
{
    const QString root = QStringLiteral(TEVRIN_FUZZ_DIR);
    const QString name = QStringLiteral(TEVRIN_FUZZ_NAME);
    const QStringList seeds = Inputs(root + QStringLiteral("/corpus/") + name);
    ASSERT_FALSE(seeds.isEmpty()) << "no seeds for " << name.toStdString();
    int argc = 0;
    char** argv = nullptr;
    LLVMFuzzerInitialize(&argc, &argv);
    for (const QString& path : seeds + Inputs(root + QStringLiteral("/found/") + name)) {
        SCOPED_TRACE(path.toStdString());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        EXPECT_EQ(LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                         static_cast<size_t>(bytes.size())),
                  0);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
