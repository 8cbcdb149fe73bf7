// A unit that answers later than the reply time-out, through the real engine library on a
// pseudo-terminal: a late reply to one block request must never become the values of the next.
#include "tests/common/fake_prompter.h"
#include "tests/rtdb/database_fixture.h"
#include "tests/sim/core/analyzer_core.h"
#include "tests/sim/wire/wire_server.h"
#include "tevrin/rtdb/catalogue/catalogue_rows.h"
#include "tevrin/rtdb/communications.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/rtdb/database_point.h"

#include <QFile>
#include <QSettings>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class SlowUnitTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(wire.StartPty());
        // The engine takes its settings from the user's ini file when it is created.
        QSettings ini(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("DesktopK41XRT"));
        iniFile = ini.fileName();
        ini.beginGroup(QStringLiteral("Comm"));
        ini.setValue(QStringLiteral("ConnectType"), 0);
        ini.setValue(QStringLiteral("PortName"), wire.PtyPath());
        ini.setValue(QStringLiteral("Baud"), 19200);
        ini.setValue(QStringLiteral("BackoffTimer"), QStringLiteral("5"));   // 275 ms
        ini.setValue(QStringLiteral("Retries"), QStringLiteral("2"));
        ini.endGroup();
        ini.sync();

        Communications::DestroyInstance();
        comms = Communications::Instance();
        ASSERT_EQ(comms->Api().ResolvedCount(), 9);
        ASSERT_EQ(comms->CommConnect(), 0);
        db = DataBase::Instance();
    }
    void TearDown() override
    {
        DataBase::DestroyInstance();
        Communications::DestroyInstance();
        wire.Stop();
        QFile::remove(iniFile);
    }

    sim::AnalyzerCore unit;
    sim::WireServer wire{unit};
    FakePrompter prompter;
    QString iniFile;
    Communications* comms = nullptr;
    DataBase* db = nullptr;
};

TEST_F(SlowUnitTest, LateRepliesNeverBecomeTheNextBlocksValues)
{
    // Two full blocks of points of one width, so that a reply to the first fits the second.
    std::vector<int> rows;
    for (int row = 0; row < rosetta::kCatalogueRowCount && rows.size() < 40; ++row) {
        DatabasePoint* p = db->PointByIndex(row);
        if (p && p->GetTypeName() == "unsigned short" && dbtest::Width(row) == 2) rows.push_back(row);
    }
    ASSERT_EQ(rows.size(), 40u);
    ExpressScan& scan = db->AsExpressScan();
    scan.Clear();
    for (int row : rows) scan.Add(db->PointByIndex(row)->GetDbId());
    scan.SetPage(5, 0, 1);

    // The unit sends the whole 81-byte block reply, or only the bytes its values take; either
    // way every late reply of the first block would fit the second.
    const struct {
        const char* name;
        bool packed;
        int base;
    } forms[] = {{"whole replies", false, 1000}, {"packed replies", true, 2000}};
    for (const auto& form : forms) {
        SCOPED_TRACE(form.name);
        unit.SetPackedBlockReplies(form.packed);
        for (size_t k = 0; k < rows.size(); ++k) unit.SetValue(sim::Row{rows[k]}, form.base + static_cast<int>(k));
        db->ClearValid();

        // Every reply comes 300 ms after its request, the time-out is 275 ms.
        sim::WireFaultRule late;
        late.fault = sim::WireFault::LateReply;
        late.times = -1;
        late.delayMs = 300;
        wire.ClearFaults();
        wire.AddFault(late);

        try {
            db->ExpressRead(false);
        } catch (int code) {
            ADD_FAILURE() << "the read failed with " << code;
        }
        for (size_t k = 0; k < rows.size(); ++k) {
            DatabasePoint* p = db->PointByIndex(rows[k]);
            EXPECT_TRUE(p->IsValid()) << p->GetName();
            if (p->IsValid()) {
                EXPECT_EQ(p->GetText(), std::to_string(form.base + static_cast<int>(k))) << p->GetName();
            }
        }
    }
}

}  // namespace
