// The event-log window: plain 9-byte records read in memory order, bad ones only counted on
// the bar, trailing bytes ignored; the program makes it and never shows it.
#include "tests/common/fake_prompter.h"
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

namespace {

void Append(std::vector<uint8_t>& buffer, uint32_t token, uint8_t type, uint8_t detail, uint8_t value, bool good)
{
    const uint8_t seven[7] = {static_cast<uint8_t>(token), static_cast<uint8_t>(token >> 8),
                              static_cast<uint8_t>(token >> 16), static_cast<uint8_t>(token >> 24), type, detail, value};
    uint16_t crc = CalcCRC16(seven, 7);
    if (!good) crc = static_cast<uint16_t>(crc + 1);
    buffer.insert(buffer.end(), seven, seven + 7);
    buffer.push_back(static_cast<uint8_t>(crc & 0xFF));
    buffer.push_back(static_cast<uint8_t>(crc >> 8));
}

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
    Append(memory, 0xDE, 9, 1, 2, true);   // 0xDE is plain data here
    memory.insert(memory.end(), {1, 2, 3, 4});   // short of a record
    form.FormActivate();
    QAdvColumnGrid* grid = form.Panel()->gridAudit();
    ASSERT_EQ(grid->RowCount(), 1);
    EXPECT_EQ(grid->Cells(TAuditGridPanel::colEvent, 0), "Run initiated");
    EXPECT_EQ(grid->Cells(TAuditGridPanel::colAlarm, 0), "Stream 2");
    EXPECT_EQ(grid->Cells(TAuditGridPanel::colState, 0), "Reference 1");
    EXPECT_EQ(form.Panel()->labPercent()->text(), "100.00%");

    memory.clear();
    Append(memory, 500, 0, 0, 0, true);
    Append(memory, 400, 4, 16, 1, false);
    Append(memory, 300, 4, 16, 1, true);
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
