#include "tevrin/shell/state_mgr.h"

#include "tevrin/rtdb/version_state.h"
#include "tevrin/shell/security_chk.h"

#include <QTabWidget>

#include <algorithm>

namespace {
StateMgr* g_stateMgr = nullptr;

constexpr StateButton kUpdateButtons[] = {
    StateButton::tbtnWrite,  StateButton::WriteConfig, StateButton::tbtnAcknowledge,
    StateButton::tbtnBypass, StateButton::tbtnTapeAdvance, StateButton::tbtnSync,
};
}  // namespace

StateMgr& StateMgr::Instance()
{
    if (!g_stateMgr) g_stateMgr = new StateMgr();
    return *g_stateMgr;
}

void StateMgr::Destroy()
{
    delete g_stateMgr;
    g_stateMgr = nullptr;
}

bool StateMgr::IsVersionKnown() const { return VersionState::VersionKnown() != 0; }

void StateMgr::Button(StateButton button, bool on)
{
    if (view_) view_->EnableButton(button, on);
}

void StateMgr::Page(MainPage page, bool on)
{
    if (view_) view_->EnablePage(page, on);
}

void StateMgr::SetLogOff()
{
    loggedOn_ = 0;
    Button(StateButton::tbtnOpen, true);
    for (StateButton b : {StateButton::tbtnSave, StateButton::tbtnSaveAs, StateButton::tbtnWrite,
                          StateButton::WriteConfig, StateButton::tbtnPoll, StateButton::tbtnSync,
                          StateButton::tbtnAcknowledge, StateButton::tbtnBypass, StateButton::tbtnTapeAdvance})
        Button(b, false);
}

void StateMgr::SetLogOn()
{
    loggedOn_ = 1;
    for (StateButton b : {StateButton::tbtnPoll, StateButton::tbtnSave, StateButton::tbtnSaveAs, StateButton::tbtnOpen})
        Button(b, true);
}

void StateMgr::SetReadOnly()
{
    if (!loggedOn_) return;
    readOnly_ = 1;
    for (StateButton b : kUpdateButtons) Button(b, false);

    Page(MainPage::Archive, true);
    if (view_) view_->SetArchiveReadOnly(true);
    Page(MainPage::Global, false);
    Page(MainPage::Stream, true);
    if (view_) view_->EnableStreamEditing(false);
    for (MainPage p : {MainPage::InputsDry, MainPage::InputsWet, MainPage::Outputs, MainPage::Ports})
        Page(p, false);
    Page(MainPage::Modbus, true);
    if (view_) view_->SetModbusReadOnly(true);
    for (MainPage p : {MainPage::Sequencer, MainPage::Factory, MainPage::Maintenance, MainPage::AnalogInput,
                       MainPage::Status})
        Page(p, false);
    if (view_) view_->SetSequencerReadOnly(true);
}

void StateMgr::SetUpdate()
{
    if (!loggedOn_) return;
    readOnly_ = 0;
    for (StateButton b : kUpdateButtons) Button(b, true);

    Page(MainPage::Archive, true);
    if (view_) view_->SetArchiveReadOnly(false);
    Page(MainPage::Global, true);
    Page(MainPage::Stream, true);
    if (view_) view_->EnableStreamEditing(true);
    for (MainPage p : {MainPage::InputsDry, MainPage::InputsWet, MainPage::Outputs, MainPage::Ports})
        Page(p, true);
    Page(MainPage::Modbus, true);
    if (view_) view_->SetModbusReadOnly(false);
    for (MainPage p : {MainPage::Sequencer, MainPage::Factory, MainPage::Maintenance, MainPage::AnalogInput,
                       MainPage::Status})
        Page(p, true);
    if (view_) view_->SetSequencerReadOnly(false);
}

void StateMgr::SetBusy()
{
    if (!loggedOn_) return;
    busy_ = 1;
    for (StateButton b : {StateButton::tbtnSave, StateButton::tbtnSaveAs, StateButton::tbtnOpen,
                          StateButton::tbtnWrite, StateButton::WriteConfig, StateButton::tbtnSync})
        Button(b, false);
}

void StateMgr::DisableFileButtons()
{
    for (StateButton b : {StateButton::tbtnSave, StateButton::tbtnSaveAs, StateButton::tbtnOpen})
        Button(b, false);
}

void StateMgr::SetIdle()
{
    if (!loggedOn_) return;
    busy_ = 0;
    const bool on = readOnly_ == 0;
    for (StateButton b : {StateButton::tbtnWrite, StateButton::WriteConfig, StateButton::tbtnSync,
                          StateButton::tbtnAcknowledge, StateButton::tbtnBypass, StateButton::tbtnTapeAdvance,
                          StateButton::tbtnSave, StateButton::tbtnSaveAs, StateButton::tbtnOpen})
        Button(b, on);
    Button(StateButton::tbtnPoll, true);
}

void ApplyReadOnlySetting(IModeView& view)
{
    SecurityChk::Instance().SetReadOnlyMode(1);
    StateMgr::Instance().SetReadOnly();
    view.SetUpdateModeChecked(false);
    view.EnableReboot(false);
    view.SetModeDisp(QStringLiteral("READ ONLY"));
    StateMgr::Instance().SetBusy();
}

void ApplyUpdateSetting(IModeView& view)
{
    SecurityChk::Instance().SetReadOnlyMode(0);
    view.SetUpdateModeChecked(true);
    view.EnableReboot(true);
    StateMgr::Instance().SetUpdate();
    StateMgr::Instance().SetIdle();
    view.SetModeDisp(QStringLiteral("UPDATE"));
}

int TabAccessClass(MainPage page)
{
    switch (page) {
    case MainPage::Analysis:
    case MainPage::Status:
    case MainPage::Alarms:
    case MainPage::InputsWet:
    case MainPage::Sequencer:
    case MainPage::AnalogInput:
    case MainPage::Timers:
        return 0;
    case MainPage::Archive:
    case MainPage::Events:
    case MainPage::Global:
    case MainPage::Stream:
    case MainPage::InputsDry:
    case MainPage::Outputs:
    case MainPage::Ports:
    case MainPage::Modbus:
        return 1;
    case MainPage::Maintenance:
        return 2;
    case MainPage::Factory:
        return 3;
    }
    return 0;
}

bool TabVisibleForMode(int accessClass, bool updateModeChecked)
{
    return accessClass < (updateModeChecked ? 4 : 2);
}

void ShowTabsForMode(QTabWidget& pages, bool updateModeChecked)
{
    const int n = std::min(pages.count(), kMainPageCount);
    for (int i = 0; i < n; ++i)
        pages.setTabVisible(i, TabVisibleForMode(TabAccessClass(static_cast<MainPage>(i)), updateModeChecked));
}
