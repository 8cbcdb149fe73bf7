// The library as the program sees it: loaded by file name from the program's folder, every
// routine resolved by its plain name through the table of ombrel_api.h, and called through
// the function types found there.
#include "ombrel/ombrel_api.h"
#include "platform/messages.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QWidget>
#include <gtest/gtest.h>

#include <cstring>

namespace {

struct Bound {
#define OMBREL_FIELD(name) OmbrelFn_##name name = nullptr;
    OMBREL_EXPORTS(OMBREL_FIELD)
#undef OMBREL_FIELD
};

class LoadedByName : public ::testing::Test {
protected:
    void SetUp() override
    {
        lib.setFileName(QCoreApplication::applicationDirPath() + "/" + kOmbrelLibraryFile);
        ASSERT_TRUE(lib.load()) << lib.errorString().toStdString();
    }
    QLibrary lib;
};

TEST_F(LoadedByName, EveryExportResolves)
{
    Bound f;
    QStringList missing;
#define OMBREL_BIND(name)                                                   \
    f.name = reinterpret_cast<OmbrelFn_##name>(lib.resolve(#name));         \
    if (!f.name) missing << #name;
    OMBREL_EXPORTS(OMBREL_BIND)
#undef OMBREL_BIND
    EXPECT_TRUE(missing.isEmpty()) << missing.join(", ").toStdString();
    EXPECT_EQ(lib.resolve("NoSuchRoutine"), nullptr);

    // The eleven the program binds at start-up are among them.
    int startup = 0;
#define OMBREL_COUNT(name) startup += lib.resolve(#name) != nullptr;
    OMBREL_STARTUP_EXPORTS(OMBREL_COUNT)
#undef OMBREL_COUNT
    EXPECT_EQ(startup, 11);
}

TEST_F(LoadedByName, CalledThroughTheResolvedPointers)
{
    auto initialize = reinterpret_cast<OmbrelFn_Initialize>(lib.resolve("Initialize"));
    auto formatFlt = reinterpret_cast<OmbrelFn_FormatFlt>(lib.resolve("FormatFlt"));
    auto toDate = reinterpret_cast<OmbrelFn_TimestampTokenToDate>(lib.resolve("TimestampTokenToDate"));
    auto toToken = reinterpret_cast<OmbrelFn_DateToTimestampToken>(lib.resolve("DateToTimestampToken"));
    auto broadcast = reinterpret_cast<OmbrelFn_DoMyBroadcast>(lib.resolve("DoMyBroadcast"));
    ASSERT_TRUE(initialize && formatFlt && toDate && toToken && broadcast);

    initialize();
    char text[32];
    EXPECT_EQ(formatFlt(12.25f, text, sizeof text), 6);
    EXPECT_STREQ(text, "12.250");
    EXPECT_EQ(toToken(toDate(0x62F2DB5Eu)), 0x62F2DB5Eu);

    // Widgets and the message record cross as the caller's own objects.
    class Answering : public QWidget {
    public:
        using QWidget::QWidget;
        bool event(QEvent* e) override
        {
            if (!TMessage::IsWindowMessage(e)) return QWidget::event(e);
            static_cast<TMessage*>(e)->Result = 42;
            return true;
        }
    };
    QWidget form;
    new Answering(&form);
    TMessage m(platform::QM_REGISTERDATABASE);
    broadcast(&form, &m, true, true);
    EXPECT_EQ(m.Result, 42);
}

}  // namespace
