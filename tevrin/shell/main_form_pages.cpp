#include "tevrin/shell/main_form_internal.h"

using mainform::Safely;

// ------------------------------------------------------------------------------------------------
// Page switching

void TFormMain::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    if (firstShow_) {
        firstShow_ = false;
        // The tab showing at start gets its show handler like any later one.
        OnTabChanged(ui->PageControlMain->currentIndex());
    }
}

void TFormMain::OnTabChanged(int index)
{
    Safely([&] {
        const int previous = shownTab_;
        shownTab_ = index;
        if (previous == static_cast<int>(MainPage::Maintenance) && index != previous) TabSheetFCHide();
        TabShow(index);
    });
}

MainPage TFormMain::CurrentPage() const { return static_cast<MainPage>(ui->PageControlMain->currentIndex()); }

bool TFormMain::LoggedOn() const { return !ui->tbtnLogon->isEnabled(); }

void TFormMain::Post(const std::string& name, const std::string& argument)
{
    if (CommandLine* line = CommandLine::Existing()) line->Post(name, argument);
}

void TFormMain::ApplyUserLevel()
{
    if (SecurityChk::Instance().IsReadOnlyMode())
        StateMgr::Instance().SetReadOnly();
    else
        StateMgr::Instance().SetUpdate();
}

void TFormMain::SwitchPolling(bool on)
{
    CommandLine* line = CommandLine::Existing();
    if (!line) return;
    if (SetStopPollValue(*line, on)) line->Post("StopPoll");
    if (on) line->Post("PeriodicPoll");
}

void TFormMain::ReadOnce()
{
    if (LoggedOn()) Post("ExpressRead");
}

namespace {

// What a page's tab does when it is shown, in this order: the user level applies; a page
// that is not live stops the polling; the page enters; while logged on, its read is posted
// and a live page polls; then the application state, and a warning last.
enum class StateAfter { Leave, Busy, BusyWhenLoggedOn, Idle, NoFileButtons };

struct TabShowRole {
    MainPage page;
    bool userLevel;     // read-only or Update state by the read-only mode
    bool live;          // polled while logged on (polling stops on every other page)
    bool enters;        // the page registers its points
    const char* read;   // posted once when logged on, after the page entered
    StateAfter state;
    const char* warning;
};

constexpr const char* kMaintenanceWarning =
    "Changing parameters in Maintenance Page may affect operation of the unit.\n"
    "It is recommended that any change in this page be done by authorised personal only.";

// Every page but the Factory page, whose code prompt makes it a road of its own.
constexpr TabShowRole kTabShowRoles[] = {
    {MainPage::Analysis, false, true, true, nullptr, StateAfter::BusyWhenLoggedOn, nullptr},
    {MainPage::Status, true, true, true, "ExpressRead", StateAfter::Busy, nullptr},
    {MainPage::Alarms, true, true, true, "ExpressRead", StateAfter::Busy, nullptr},
    {MainPage::AnalogInput, true, true, true, "ExpressRead", StateAfter::NoFileButtons, nullptr},
    {MainPage::Archive, true, false, true, "ReadLogConfig", StateAfter::Idle, nullptr},
    {MainPage::Events, true, false, false, nullptr, StateAfter::Idle, nullptr},
    {MainPage::Global, true, false, true, "ExpressRead", StateAfter::Leave, nullptr},
    {MainPage::Stream, true, false, true, "ExpressRead", StateAfter::Leave, nullptr},
    {MainPage::InputsDry, true, false, true, "ExpressRead", StateAfter::Leave, nullptr},
    {MainPage::InputsWet, true, false, true, "ExpressRead", StateAfter::Leave, nullptr},
    {MainPage::Outputs, true, false, true, "ExpressRead", StateAfter::Leave, nullptr},
    {MainPage::Sequencer, true, false, true, "ExpressRead", StateAfter::Leave, nullptr},
    {MainPage::Ports, true, false, true, "ExpressRead", StateAfter::Leave, nullptr},
    {MainPage::Modbus, true, false, true, "ExpressRead", StateAfter::Leave, nullptr},
    {MainPage::Timers, true, false, true, "ExpressRead", StateAfter::Leave, nullptr},
    {MainPage::Maintenance, true, false, true, "ExpressRead", StateAfter::Leave, kMaintenanceWarning},
};

const TabShowRole* RoleOf(MainPage page)
{
    for (const TabShowRole& role : kTabShowRoles)
        if (role.page == page) return &role;
    return nullptr;
}

}  // namespace

void TFormMain::TabShow(int index)
{
    // Without the database (the shared routines failed to load) no page can register.
    if (!servicesCreated_) return;
    const MainPage page = static_cast<MainPage>(index);
    if (page == MainPage::Factory) {
        ShowFactoryTab();
        return;
    }
    const TabShowRole* role = RoleOf(page);
    if (!role) return;
    StateMgr& state = StateMgr::Instance();
    if (role->userLevel) ApplyUserLevel();
    if (!role->live) SwitchPolling(false);
    if (role->enters) Frame(page)->EnterPage();
    const bool loggedOn = LoggedOn();
    if (loggedOn) {
        if (role->read) Post(role->read);
        if (role->live) SwitchPolling(true);
    }
    switch (role->state) {
    case StateAfter::Leave: break;
    case StateAfter::Busy: state.SetBusy(); break;
    case StateAfter::BusyWhenLoggedOn:
        if (loggedOn) state.SetBusy();
        break;
    case StateAfter::Idle: state.SetIdle(); break;
    case StateAfter::NoFileButtons: state.DisableFileButtons(); break;
    }
    if (role->warning)
        platform::MessageDlg(QString::fromLatin1(role->warning), platform::DlgType::Warning, platform::mbOK);
}

void TFormMain::ShowFactoryTab()
{
    fraFactory_->ShowContents(false);
    fraFactory_->EnterPage();
    ApplyUserLevel();
    SwitchPolling(false);
    TfrmLogon dialog(this);
    const FactoryLogonAnswer answer = AskFactoryCode(dialog);
    DisableAllChildren(fraFactory_, false);
    if (answer == FactoryLogonAnswer::Cancelled) return;
    if (answer == FactoryLogonAnswer::Accepted) {
        StateMgr::Instance().SetIdle();
        fraFactory_->ShowContents(true);
    }
    ReadOnce();
}

void TFormMain::TabSheetFCHide()
{
    fraBoardTester_->LeavePage();
    WriteSinglePoint(TfraBoardTester::kDirectControl, "False");
}
