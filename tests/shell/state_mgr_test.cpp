#include "tevrin/shell/state_mgr.h"

#include "tevrin/rtdb/version_state.h"
#include "tevrin/shell/security_chk.h"
#include "tests/shell/shell_fakes.h"

#include <QTabWidget>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

using B = StateButton;
using P = MainPage;

const std::vector<B> kWriteButtons = {B::tbtnWrite, B::WriteConfig, B::tbtnAcknowledge,
                                      B::tbtnBypass, B::tbtnTapeAdvance, B::tbtnSync};
const std::vector<B> kFileButtons = {B::tbtnSave, B::tbtnSaveAs, B::tbtnOpen};
// The pages the user level switches (the analysis, alarm, event-log and timer pages never).
const std::vector<P> kReadOnlyOffPages = {P::Global,  P::InputsDry, P::InputsWet,   P::Outputs,    P::Ports,
                                          P::Sequencer, P::Factory, P::Maintenance, P::AnalogInput, P::Status};
const std::vector<P> kAlwaysOnPages = {P::Archive, P::Stream, P::Modbus};
const std::vector<P> kNeverSwitched = {P::Analysis, P::Alarms, P::Events, P::Timers};

class StateMgrTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        StateMgr::Destroy();
        SecurityChk::Destroy();
        VersionState::SetVersionKnown(1);
        state = &StateMgr::Instance();
        state->SetView(&view);
    }
    void TearDown() override
    {
        StateMgr::Destroy();
        SecurityChk::Destroy();
        VersionState::SetVersionKnown(1);
    }

    StateMgr* state = nullptr;
    FakeStateView view;
};

TEST_F(StateMgrTest, StartsReadOnlyBusyOffLineWithAKnownVersion)
{
    EXPECT_TRUE(state->IsReadOnly());
    EXPECT_TRUE(state->IsBusy());
    EXPECT_FALSE(state->IsLoggedOn());
    EXPECT_TRUE(state->IsVersionKnown());
    VersionState::SetVersionKnown(0);
    EXPECT_FALSE(state->IsVersionKnown());
}

TEST_F(StateMgrTest, OffLineOnlyTheLogonOperationsAndDisableFileButtonsAct)
{
    state->SetUpdate();
    state->SetIdle();
    state->SetReadOnly();
    state->SetBusy();
    EXPECT_EQ(view.calls, 0);
    EXPECT_TRUE(state->IsReadOnly());   // SetUpdate changed nothing
    EXPECT_TRUE(state->IsBusy());       // SetIdle changed nothing

    state->DisableFileButtons();
    for (B b : kFileButtons) EXPECT_FALSE(view.buttons.at(b));
}

TEST_F(StateMgrTest, LogOnAndLogOffSwitchTheirButtons)
{
    state->SetLogOn();
    EXPECT_TRUE(state->IsLoggedOn());
    for (B b : {B::tbtnPoll, B::tbtnSave, B::tbtnSaveAs, B::tbtnOpen}) EXPECT_TRUE(view.buttons.at(b));
    EXPECT_EQ(view.buttons.count(B::tbtnWrite), 0u);

    state->SetUpdate();
    state->SetLogOff();
    EXPECT_FALSE(state->IsLoggedOn());
    EXPECT_TRUE(view.buttons.at(B::tbtnOpen));
    for (B b : {B::tbtnSave, B::tbtnSaveAs, B::tbtnWrite, B::WriteConfig, B::tbtnPoll, B::tbtnSync,
                B::tbtnAcknowledge, B::tbtnBypass, B::tbtnTapeAdvance})
        EXPECT_FALSE(view.buttons.at(b)) << static_cast<int>(b);
    // Off line again: the mode stays as it was until the next logon sets it.
    EXPECT_FALSE(state->IsReadOnly());
}

TEST_F(StateMgrTest, UserLevelSwitchesButtonsPagesAndPageFlags)
{
    state->SetLogOn();
    struct Case {
        bool update;
    };
    for (Case c : {Case{true}, Case{false}, Case{true}}) {
        SCOPED_TRACE(c.update ? "Update" : "ReadOnly");
        if (c.update)
            state->SetUpdate();
        else
            state->SetReadOnly();
        EXPECT_EQ(state->IsReadOnly(), !c.update);
        for (B b : kWriteButtons) EXPECT_EQ(view.buttons.at(b), c.update) << static_cast<int>(b);
        for (P p : kReadOnlyOffPages) EXPECT_EQ(view.pages.at(p), c.update) << static_cast<int>(p);
        for (P p : kAlwaysOnPages) EXPECT_TRUE(view.pages.at(p)) << static_cast<int>(p);
        for (P p : kNeverSwitched) EXPECT_EQ(view.pages.count(p), 0u) << static_cast<int>(p);
        EXPECT_EQ(view.flags.at("archiveReadOnly"), !c.update);
        EXPECT_EQ(view.flags.at("modbusReadOnly"), !c.update);
        EXPECT_EQ(view.flags.at("sequencerReadOnly"), !c.update);
        EXPECT_EQ(view.flags.at("streamEditing"), c.update);
    }
}

TEST_F(StateMgrTest, BusyAndIdleFollowTheUserLevel)
{
    state->SetLogOn();
    for (bool update : {false, true}) {
        SCOPED_TRACE(update ? "Update" : "ReadOnly");
        if (update)
            state->SetUpdate();
        else
            state->SetReadOnly();

        state->SetBusy();
        EXPECT_TRUE(state->IsBusy());
        for (B b : {B::tbtnSave, B::tbtnSaveAs, B::tbtnOpen, B::tbtnWrite, B::WriteConfig, B::tbtnSync})
            EXPECT_FALSE(view.buttons.at(b)) << static_cast<int>(b);

        view.buttons[B::tbtnPoll] = false;
        state->SetIdle();
        EXPECT_FALSE(state->IsBusy());
        for (B b : kWriteButtons) EXPECT_EQ(view.buttons.at(b), update) << static_cast<int>(b);
        for (B b : kFileButtons) EXPECT_EQ(view.buttons.at(b), update) << static_cast<int>(b);
        EXPECT_TRUE(view.buttons.at(B::tbtnPoll));
    }
}

TEST_F(StateMgrTest, ReadOnlyAndUpdateSettings)
{
    FakeModeView mode;
    state->SetLogOn();

    ApplyUpdateSetting(mode);
    EXPECT_FALSE(SecurityChk::Instance().IsReadOnlyMode());
    EXPECT_FALSE(state->IsReadOnly());
    EXPECT_FALSE(state->IsBusy());
    EXPECT_TRUE(mode.updateChecked);
    EXPECT_TRUE(mode.rebootEnabled);
    EXPECT_EQ(mode.modeDisp, QStringLiteral("UPDATE"));
    EXPECT_TRUE(view.buttons.at(B::tbtnWrite));

    ApplyReadOnlySetting(mode);
    EXPECT_TRUE(SecurityChk::Instance().IsReadOnlyMode());
    EXPECT_TRUE(state->IsReadOnly());
    EXPECT_TRUE(state->IsBusy());
    EXPECT_FALSE(mode.updateChecked);
    EXPECT_FALSE(mode.rebootEnabled);
    EXPECT_EQ(mode.modeDisp, QStringLiteral("READ ONLY"));
    EXPECT_FALSE(view.buttons.at(B::tbtnWrite));
    EXPECT_FALSE(view.buttons.at(B::tbtnOpen));
}

TEST(ShowTabsForMode, UpdateModeShowsMaintenanceAndFactory)
{
    QTabWidget tabs;
    for (int i = 0; i < kMainPageCount; ++i) tabs.addTab(new QWidget, QString::number(i));
    for (bool checked : {true, false, true}) {
        SCOPED_TRACE(checked);
        ShowTabsForMode(tabs, checked);
        for (int i = 0; i < kMainPageCount; ++i) {
            const auto page = static_cast<MainPage>(i);
            const bool hiddenWithoutUpdate = page == MainPage::Maintenance || page == MainPage::Factory;
            EXPECT_EQ(tabs.isTabVisible(i), checked || !hiddenWithoutUpdate) << i;
        }
    }
}

TEST(ShowTabsForMode, AccessClasses)
{
    EXPECT_EQ(TabAccessClass(MainPage::Analysis), 0);
    EXPECT_EQ(TabAccessClass(MainPage::InputsWet), 0);
    EXPECT_EQ(TabAccessClass(MainPage::InputsDry), 1);
    EXPECT_EQ(TabAccessClass(MainPage::Modbus), 1);
    EXPECT_EQ(TabAccessClass(MainPage::Maintenance), 2);
    EXPECT_EQ(TabAccessClass(MainPage::Factory), 3);
    EXPECT_TRUE(TabVisibleForMode(3, true));
    EXPECT_FALSE(TabVisibleForMode(4, true));
    EXPECT_TRUE(TabVisibleForMode(1, false));
    EXPECT_FALSE(TabVisibleForMode(2, false));
}

}  // namespace
