// The event-log window: plain 9-byte records read in memory order, bad ones only counted on
// the bar, trailing bytes ignored; the program makes it and never shows it.
#include "tests/common/fake_prompter.h"
#include "tests/pages/kit/event_memory.h"
#include "tests/pages/page_session.h"
#include "tevrin/pages/analysis/audit_form.h"
#include "tevrin/pages/analysis/audit_panel.h"
#include "tevrin/pages/analysis/log_db_manager.h"
#include "tevrin/pages/analysis/log_entry.h"
#include "tevrin/pages/widgets/adv_column_grid.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/shell/main_form.h"

#include <QLabel>
#include <gtest/gtest.h>

using eventtest::AppendPlain;

namespace {

double Days(uint32_t token) { return 46000.0 + token / 400.0; }

class EventLogWindowTest : public ::testing::Test {
protected:
    void SetUp() override { LogDBManager::Instance()->SetTokenToDate(&Days); }
    void TearDown() override
    {
        DataBase::Instance()->FreeEventData();
        LogDBManager::DestroyInstance();
    }
    FakePrompter prompter;
    TAuditForm form;
};

}  // namespace

TEST_F(EventLogWindowTest, NineByteRecordsAreShownInMemoryOrderAndBadOnesOnlyCounted)
{
    EXPECT_EQ(form.windowTitle(), "Event Log");
    std::vector<uint8_t>& memory = DataBase::Instance()->EventData();
    AppendPlain(memory, 0xDE, 9, 1, 2, true);   // 0xDE is plain data here
    memory.insert(memory.end(), {1, 2, 3, 4});   // short of a record
    form.FormActivate();
    QAdvColumnGrid* grid = form.Panel()->gridAudit();
    ASSERT_EQ(grid->RowCount(), 1);
    EXPECT_EQ(grid->Cells(TAuditGridPanel::colEvent, 0), "Run initiated");
    EXPECT_EQ(grid->Cells(TAuditGridPanel::colAlarm, 0), "Stream 2");
    EXPECT_EQ(grid->Cells(TAuditGridPanel::colState, 0), "Reference 1");
    EXPECT_EQ(form.Panel()->labPercent()->text(), "100.00%");

    memory.clear();
    AppendPlain(memory, 500, 0, 0, 0, true);
    AppendPlain(memory, 400, 4, 16, 1, false);
    AppendPlain(memory, 300, 4, 16, 1, true);
    form.FormActivate();
    ASSERT_EQ(grid->RowCount(), 2);
    EXPECT_EQ(grid->Cells(TAuditGridPanel::colSeq, 1), "2");
    EXPECT_EQ(grid->Cells(TAuditGridPanel::colEvent, 0), "Power Up");   // not sorted
    EXPECT_EQ(grid->Cells(TAuditGridPanel::colAlarm, 1), "Low Tape");
    EXPECT_EQ(form.Panel()->labPercent()->text(), "66.67%");
    EXPECT_EQ(form.Panel()->BarWidth(), 158);

    // Nothing walked: the bar and label stay.
    memory.assign(5, 0);
    form.FormActivate();
    EXPECT_EQ(grid->RowCount(), 0);
    EXPECT_EQ(form.Panel()->labPercent()->text(), "66.67%");
}

TEST(EventLogWindowSession, TheProgramMakesTheWindowAndNeverShowsIt)
{
    pagetest::PageSession s;
    ASSERT_TRUE(s.LogOn(true));
    s.Show(MainPage::Events);
    auto* window = s.Form().findChild<TAuditForm*>();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->isVisible());
}
