// The main window started offscreen with the real shared libraries of the build folder:
// start-up, the registration broadcast, the splash texts, page switching, closing and a
// missing shared-routine library.
#include "brannix/qcheckbox.h"
#include "brannix/qcombobox.h"
#include "brannix/qlabel.h"
#include "brannix/qstatusbar.h"
#include "platform/data_folder.h"
#include "platform/messages.h"
#include "tests/common/fake_clock.h"
#include "tests/common/engine_settings.h"
#include "tests/common/fake_prompter.h"
#include "tests/shell/main_form_fixture.h"
#include "tests/common/modal_answer.h"
#include "tests/shell/cmd_fixture.h"
#include "tests/shell/shell_fakes.h"
#include "tests/sim/core/analyzer_core.h"
#include "tests/sim/wire/wire_server.h"
#include "tevrin/pages/analysis/fra_archive_viewer.h"
#include "tevrin/pages/analysis/fra_ww.h"
#include "tevrin/pages/analysis/log_db_manager.h"
#include "tevrin/pages/config/fr_sequencer.h"
#include "tevrin/pages/config/fra_analyzer_streams.h"
#include "tevrin/pages/io/fra_modbus.h"
#include "tevrin/pages/io/fra_board_tester.h"
#include "tevrin/pages/io/fra_factory.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/rtdb/database_point.h"
#include "tevrin/shell/commands/cmd_full_read_write.h"
#include "tevrin/shell/commands/cmd_read.h"
#include "tevrin/shell/commands/command.h"
#include "tevrin/shell/commands/command_line.h"
#include "tevrin/shell/about_form.h"
#include "tevrin/shell/app_flags.h"
#include "tevrin/shell/power_notice.h"
#include "tevrin/shell/commands/command_registry.h"
#include "tevrin/shell/main_form.h"
#include "tevrin/pages/page_frame.h"
#include "tevrin/shell/page_registry.h"
#include "tevrin/shell/splash.h"
#include "tevrin/shell/state_mgr.h"
#include "tevrin/shell/logon_dlg.h"
#include "tevrin/shell/security_chk.h"
#include "tevrin/shell/upd_mode_dlg.h"
#include "tevrin/shell/upgrade.h"
#include "tevrin/shell/wait_dlg.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QTest>
#include <QTimer>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QWindow>
#include <QDesktopServices>
#include <QUrl>
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <memory>
#include <string>
#include <vector>

namespace {

// The real polling switch and single-point write, recording what each post carries.
class RecordingStopPoll : public StopPollCommand {
public:
    RecordingStopPoll(CommandLine& line, std::vector<std::string>& log) : StopPollCommand(line), log_(log) {}
    void Execute() override
    {
        log_.push_back(Params().pollOff ? "StopPoll(off)" : "StopPoll(on)");
        StopPollCommand::Execute();
    }

private:
    std::vector<std::string>& log_;
};

class RecordingWriteSinglePoint : public WriteSinglePointCommand {
public:
    explicit RecordingWriteSinglePoint(std::vector<std::string>& log) : log_(log) {}
    void Execute() override { log_.push_back("WriteSinglePoint(" + std::to_string(Params().dbId) + "," + Params().text + ")"); }

private:
    std::vector<std::string>& log_;
};

// Puts recording commands in place of every registered command, with the window as owner.
// Commands listed in bodies also run their body.
void UseRecordingCommands(TFormMain& form, std::vector<std::string>& log,
                          const std::map<std::string, std::function<void()>>& bodies = {})
{
    CommandLine::Shutdown();
    CommandLine& line = CommandLine::Instance();
    for (const std::string& name : CommandNames::All()) {
        if (name == "StopPoll") {
            line.Register(name, std::make_unique<RecordingStopPoll>(line, log));
            continue;
        }
        if (name == "WriteSinglePoint") {
            line.Register(name, std::make_unique<RecordingWriteSinglePoint>(log));
            continue;
        }
        auto it = bodies.find(name);
        line.Register(name, std::make_unique<RecordingCommand>(name, log, it == bodies.end() ? nullptr : it->second));
    }
    line.SetOwner(&form);
}

// What the window looks like when a logon has succeeded (the Logon command's keys).
void LookLoggedOn(TFormMain& form)
{
    form.SetFlag("tbtnLogon", false);
    form.SetFlag("tbtnLogoff", true);
    form.SetFlag("SetLogOn", true);
}

// Presses Logon and answers the mode choice with "Update" and the master password.
void LogOnInUpdateMode(TFormMain& form)
{
    testsupport::AnsweringModals(
        [](QWidget* modal) {
            if (auto* mode = qobject_cast<TUpdModeDlg*>(modal)) {
                mode->btnUpdate()->click();
            } else if (auto* password = qobject_cast<TfrmLogon*>(modal)) {
                EXPECT_EQ(password->windowTitle(), QStringLiteral("Update Mode Logon"));
                password->ledPassword()->setText(QString::fromLatin1(SecurityChk::kMasterPassword));
                password->btnOK()->click();
            }
        },
        [&form] { form.tbtnLogonClick(); });
}

std::vector<std::string> ScanPoints()
{
    ExpressScan& scan = DataBase::Instance()->AsExpressScan();
    std::vector<std::string> out;
    for (int i = 0; i < scan.Count(); ++i) out.push_back(std::to_string(scan.At(i)));
    return out;
}

class MainFormTest : public MainFormFixture {};

}  // namespace

TEST_F(MainFormTest, StartUpBuildsTheSeventeenPagesAndTheServices)
{
    TFormMain form;
    EXPECT_TRUE(prompter.prompts.empty()) << prompter.Texts().join(QStringLiteral(" | ")).toStdString();
    ASSERT_TRUE(form.SharedRoutinesBound());
    ASSERT_TRUE(form.ServicesCreated());
    EXPECT_TRUE(form.Timer1Active());

    // Tab order, captions, access classes and the page each tab carries.
    const struct {
        const char* sheet;
        const char* caption;
        int tag;
        const char* frame;
        int pageNumber;
    } kTabs[] = {
        {"TabSheetWW", "Analysis", 0, "TfraWW", 0},
        {"TabSheetIOStatus", "Status ", 0, "TfrmIOStatus", 15},
        {"TabAlarm", "Alarms ", 0, "TfrmAlarm", 11},
        {"TabSheetAV", "Archive ", 1, "TfraArchiveViewer", 1},
        {"TabAudit", "Events ", 1, "TfrmAudit", -1},
        {"TabGlobal", "Global ", 1, "TfraAnalyzerGlobal", 2},
        {"TabStream", "Stream ", 1, "TfraAnalyzerStreams", 3},
        {"TabSheetIO", "Inputs-DRY ", 1, "TfraIO", 4},
        {"TabSheetIO2", "Inputs-WET ", 0, "TfrmInput2", 13},
        {"TabSheetOutput", "Outputs ", 1, "TfraOutput", 5},
        {"TabSequencer", "Sequencer ", 0, "TfrSequencer", 12},
        {"TabPorts", "Ports", 1, "TfraCommPorts", 6},
        {"TabSheetMB", "Modbus ", 1, "TfraModbus", 7},
        {"TabSheetAI", "Analog Input ", 0, "TfrAnalogInputs", 14},
        {"TabTimer1", "Timers ", 0, "TfrmTimer1", 16},
        {"TabSheetFC", "Maintenance ", 2, "TfraBoardTester", 9},
        {"TabSheetBT", "Factory ", 3, "TfraFactory", 8},
    };
    QTabWidget* pages = form.PageControlMain();
    ASSERT_EQ(pages->count(), 17);
    for (int i = 0; i < 17; ++i) {
        SCOPED_TRACE(kTabs[i].sheet);
        QWidget* sheet = pages->widget(i);
        EXPECT_EQ(sheet->objectName(), QString::fromLatin1(kTabs[i].sheet));
        EXPECT_EQ(pages->tabText(i), QString::fromLatin1(kTabs[i].caption));
        EXPECT_EQ(sheet->property("Tag").toInt(), kTabs[i].tag);
        auto* frame = qobject_cast<TPageFrame*>(PageRegistry::Instance().Frame(i));
        ASSERT_NE(frame, nullptr);
        EXPECT_STREQ(frame->metaObject()->className(), kTabs[i].frame);
        EXPECT_TRUE(sheet->isAncestorOf(frame));
        EXPECT_EQ(frame->PageNumber(), kTabs[i].pageNumber);
        EXPECT_TRUE(frame->NotShown());
    }
    for (int i = 17; i < PageRegistry::kSlots; ++i) EXPECT_EQ(PageRegistry::Instance().Frame(i), nullptr);

    // Every command name is registered.
    ASSERT_NE(CommandLine::Existing(), nullptr);
    for (const std::string& name : CommandNames::All()) EXPECT_NE(CommandLine::Existing()->Find(name), nullptr) << name;
    EXPECT_EQ(CommandNames::All().size(), 35u);

    // Off line: only logon, communication settings, upgrade, open and exit are usable.
    const struct {
        const char* action;
        bool enabled;
    } kButtons[] = {{"tbtnLogon", true},    {"tbtnLogoff", false},    {"tbtnComm", true},   {"tbtnWrite", false},
                    {"WriteConfig", false}, {"tbtnPoll", false},      {"tbtnSync", false},  {"tbtnAcknowledge", false},
                    {"tbtnBypass", false},  {"tbtnTapeAdvance", false}, {"tbtnUpgrade", true}, {"tbtnOpen", true},
                    {"tbtnSave", false},    {"tbtnSaveAs", false},    {"tbtnExit", true},   {"mnuReboot", false},
                    {"mnuChangePassword", true}};
    for (const auto& b : kButtons) {
        ASSERT_NE(form.Action(b.action), nullptr) << b.action;
        EXPECT_EQ(form.Action(b.action)->isEnabled(), b.enabled) << b.action;
    }
    EXPECT_TRUE(form.Action("mnuUpdateMode")->isChecked());
    EXPECT_FALSE(form.Action("mnuUpdateMode")->isEnabled());
    EXPECT_EQ(form.ModeDisp()->text(), QStringLiteral("OFF LINE"));
    EXPECT_EQ(form.Action("WriteConfig")->toolTip(), QStringLiteral("Permanent Configuration Write  to Analyzer"));
    EXPECT_TRUE(form.GetFlag("LoggingOn"));
    EXPECT_EQ(form.StatusLine()->PanelCount(), 7);
}

TEST_F(MainFormTest, TheWindowOpensAtItsDesignedSizeAndLargePagesScrollInsideIt)
{
    TFormMain form;
    form.show();
    EXPECT_EQ(form.size(), QSize(1004, 740));
    // The Factory tab asks for its code: cancelled here.
    QTimer cancel;
    cancel.setInterval(5);
    QObject::connect(&cancel, &QTimer::timeout, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) dialog->reject();
    });
    cancel.start();
    QTabWidget* pages = form.PageControlMain();
    for (int i = 0; i < pages->count(); ++i) {
        SCOPED_TRACE(pages->tabText(i).toStdString());
        QWidget* frame = PageRegistry::Instance().Frame(i);
        ASSERT_NE(frame, nullptr);
        // Each page scrolls inside its sheet, so none stretches the window past its size.
        auto* area = qobject_cast<QScrollArea*>(frame->parentWidget() ? frame->parentWidget()->parentWidget() : nullptr);
        ASSERT_NE(area, nullptr);
        EXPECT_EQ(area->widget(), frame);
        EXPECT_TRUE(area->widgetResizable());
        pages->setCurrentIndex(i);
        QApplication::processEvents();
        EXPECT_EQ(form.size(), QSize(1004, 740));
        EXPECT_LE(form.minimumSizeHint().width(), 1004);
        EXPECT_LE(form.minimumSizeHint().height(), 740);
        // Every tab stands in the one row of the bar: none hides behind scroll arrows.
        EXPECT_LE(pages->tabBar()->tabRect(i).right(), pages->tabBar()->width()) << pages->tabText(i).toStdString();
    }
    cancel.stop();
    form.hide();
}

// The status line stands whole inside the window whatever the desktop's font: every panel as
// tall as the text panels, whose frames hold a line of text, and the last panel as far from
// the right edge as the first is from the left.
TEST_F(MainFormTest, StatusPanelsStandWholeInsideTheWindow)
{
    const QFont desktop = QApplication::font();
    for (const double scale : {1.0, 1.5}) {
        SCOPED_TRACE("font size x " + std::to_string(scale));
        QFont font = desktop;
        font.setPointSizeF(desktop.pointSizeF() * scale);
        QApplication::setFont(font);
        TFormMain form;
        form.show();
        QApplication::processEvents();
        TQStatusBar* line = form.StatusLine();
        ASSERT_EQ(line->PanelCount(), 7);
        EXPECT_TRUE(form.rect().contains(QRect(line->mapTo(&form, QPoint(0, 0)), line->size())));
        QWidget* first = line->Panel(0);
        QWidget* last = line->Panel(line->PanelCount() - 1);
        EXPECT_GE(line->width() - 1 - last->geometry().right(), first->x());
        for (int i = 0; i < line->PanelCount(); ++i) {
            SCOPED_TRACE("panel " + std::to_string(i));
            QWidget* panel = line->Panel(i);
            EXPECT_TRUE(line->rect().contains(panel->geometry()));
            EXPECT_EQ(panel->geometry().top(), first->geometry().top());
            EXPECT_EQ(panel->height(), first->height());
            if (auto* label = qobject_cast<QLabel*>(panel)) {
                EXPECT_GE(label->contentsRect().height(), label->fontMetrics().height());
            }
        }
        form.hide();
    }
    QApplication::setFont(desktop);
}

TEST_F(MainFormTest, RegistrationBroadcastBindsThePagesControlsToTheirPoints)
{
    TFormMain form;
    ASSERT_TRUE(form.ServicesCreated());
    // The Analysis page's hidden stream-count label is bound to point 20; a value arriving at
    // the point reaches it and it shows the stream count on the main window.
    DatabasePoint* streams = DataBase::Instance()->PointByDbId(20);
    ASSERT_NE(streams, nullptr);
    QString seen;
    QObject::connect(form.fraWW()->lblStream(), &TQLabel::OnDBPointValueChanged,
                     [&seen](const QString& value, bool&) { seen = value; });
    streams->SetTextAndNotify("1");
    EXPECT_EQ(seen, QStringLiteral("1"));
    EXPECT_EQ(form.StreamDisp()->text(), QStringLiteral("2-STREAMS"));
    streams->SetTextAndNotify("0");
    EXPECT_EQ(form.StreamDisp()->text(), QStringLiteral("1-STREAM"));
}

TEST_F(MainFormTest, SplashAnnouncesEveryStepOfTheStartUp)
{
    TfrmSplash splash;
    splash.show();
    for (int i = 0; i < 200 && !(splash.windowHandle() && splash.windowHandle()->isExposed()); ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
    ASSERT_TRUE(splash.windowHandle() && splash.windowHandle()->isExposed());
    struct Recorder : QObject {
        std::vector<std::string> texts;
        QLabel* label = nullptr;
        bool eventFilter(QObject* watched, QEvent* e) override
        {
            if (watched == label && e->type() == QEvent::Paint &&
                (texts.empty() || texts.back() != label->text().toStdString()))
                texts.push_back(label->text().toStdString());
            return false;
        }
    } recorder;
    recorder.label = splash.Label1();
    splash.Label1()->installEventFilter(&recorder);
    {
        TFormMain form;
        ASSERT_TRUE(form.ServicesCreated());
        EXPECT_EQ(splash.ProgressBar1()->value(), 20);
        EXPECT_EQ(splash.ProgressBar1()->maximum(), 20);
    }
    const QString base = QStringLiteral("Loading Sentrel Desktop...");
    std::vector<std::string> expected;
    for (const char* step : {"Analysis", "Status", "Alarms", "Archive", "Global", "Streams", "Inputs-DRY", "Inputs-WET",
                             "Outputs", "Communication Ports", "Modbus", "Factory", "Analog Inputs", "Service", "Sequencer",
                             "", "Audit", "Load Modules", "Initialize COMM. It may take a few seconds.", "Create RTDB"})
        expected.push_back((base + QString::fromLatin1(step)).toStdString());
    EXPECT_EQ(recorder.texts, expected);
}

TEST_F(MainFormTest, SplashFadeMixesThePicturesByPercent)
{
    QImage first(2, 1, QImage::Format_RGB888);
    QImage second(2, 1, QImage::Format_RGB888);
    first.fill(QColor(200, 100, 0));
    second.fill(QColor(0, 100, 255));
    // Each term is cut to an integer before the sum: 3 * 255 / 100 = 7, 97 * 0 / 100 = 0.
    const QImage mixed = BlendPictures(second, first, 3);
    EXPECT_EQ(mixed.pixelColor(0, 0), QColor(194, 100, 7));
    EXPECT_EQ(BlendPictures(second, first, 99).pixelColor(1, 0), QColor(2, 100, 252));
    // The first picture must be at least as large as the second.
    EXPECT_TRUE(BlendPictures(QImage(4, 4, QImage::Format_RGB888), first, 50).isNull());
}

TEST_F(MainFormTest, TabChangeRegistersThePagesPointsAndPostsItsRead)
{
    TFormMain form;
    ASSERT_TRUE(form.ServicesCreated());
    std::vector<std::string> log;
    UseRecordingCommands(form, log);

    // Off line the Analysis page only registers its points.
    form.TabShow(static_cast<int>(MainPage::Analysis));
    EXPECT_TRUE(log.empty());
    ExpressScan& scan = DataBase::Instance()->AsExpressScan();
    EXPECT_EQ(scan.CurrentPage(), 0);
    const std::vector<std::string> analysis = ScanPoints();
    ASSERT_GE(analysis.size(), 7u);
    EXPECT_EQ(std::vector<std::string>(analysis.begin(), analysis.begin() + 7),
              (std::vector<std::string>{"45", "611", "68", "91", "1269", "114", "388"}));

    // Off line a configuration page stops polling and reads nothing; a polled page posts nothing.
    form.PageControlMain()->setCurrentIndex(static_cast<int>(MainPage::Ports));
    EXPECT_EQ(log, (std::vector<std::string>{"StopPoll(off)"}));
    EXPECT_EQ(scan.CurrentPage(), 6);
    log.clear();
    form.PageControlMain()->setCurrentIndex(static_cast<int>(MainPage::Status));
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(scan.CurrentPage(), 15);
    EXPECT_FALSE(CommandLine::Instance().IsPolling());

    LookLoggedOn(form);
    const std::vector<std::string> configurationPosts{"StopPoll(off)", "ExpressRead"};
    const std::vector<std::string> polledPosts{"ExpressRead", "StopPoll(on)", "PeriodicPoll"};
    const struct {
        MainPage tab;
        int page;
        int points;   // -1: not checked
        std::vector<std::string> posts;
        bool polling;
    } kCases[] = {
        {MainPage::Global, 2, 50, configurationPosts, false},
        {MainPage::Timers, 16, 1, configurationPosts, false},
        {MainPage::Status, 15, 73, polledPosts, true},
        {MainPage::Archive, 1, 0, {"StopPoll(off)", "ReadLogConfig"}, false},
        {MainPage::Sequencer, 12, 12, configurationPosts, false},
        {MainPage::Alarms, 11, -1, polledPosts, true},
        {MainPage::Stream, 3, -1, configurationPosts, false},
        {MainPage::AnalogInput, 14, -1, polledPosts, true},
        {MainPage::InputsDry, 4, -1, configurationPosts, false},
        {MainPage::InputsWet, 13, -1, configurationPosts, false},
        {MainPage::Outputs, 5, -1, configurationPosts, false},
        {MainPage::Ports, 6, -1, configurationPosts, false},
        {MainPage::Modbus, 7, -1, configurationPosts, false},
        {MainPage::Analysis, 0, -1, {"StopPoll(on)", "PeriodicPoll"}, true},
        {MainPage::Maintenance, 9, -1, configurationPosts, false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(static_cast<int>(c.tab));
        log.clear();
        form.PageControlMain()->setCurrentIndex(static_cast<int>(c.tab));
        EXPECT_EQ(scan.CurrentPage(), c.page);
        if (c.points >= 0) {
            EXPECT_EQ(scan.Count(), c.points);
        }
        EXPECT_EQ(log, c.posts);
        EXPECT_EQ(CommandLine::Instance().IsPolling(), c.polling);
        EXPECT_FALSE(form.Frame(c.tab)->NotShown());
    }
    // The Global page's list starts with the unit id, site and location.
    form.PageControlMain()->setCurrentIndex(static_cast<int>(MainPage::Global));
    const std::vector<std::string> global = ScanPoints();
    ASSERT_GE(global.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(global.begin(), global.begin() + 3), (std::vector<std::string>{"0", "1", "2"}));
    // Events: polling off and nothing read; the page point list stays as it was.
    log.clear();
    form.PageControlMain()->setCurrentIndex(static_cast<int>(MainPage::Events));
    EXPECT_EQ(log, (std::vector<std::string>{"StopPoll(off)"}));
    EXPECT_EQ(scan.CurrentPage(), 2);
}

TEST_F(MainFormTest, TheUserLevelReachesTheArchiveSequencerModbusAndStreamPages)
{
    TFormMain form;
    ASSERT_TRUE(form.ServicesCreated());
    StateMgr& state = StateMgr::Instance();

    // Off line the user level leaves the pages as they were made.
    state.SetUpdate();
    EXPECT_TRUE(form.frSequencer()->IsReadOnly());
    state.SetReadOnly();
    EXPECT_FALSE(form.fraArchiveViewer()->IsReadOnly());
    EXPECT_FALSE(form.fraModbus()->IsReadOnly());
    EXPECT_TRUE(form.fraAnalyzerStreams()->StreamEditingEnabled());

    LookLoggedOn(form);
    for (bool readOnly : {true, false, true}) {
        SCOPED_TRACE(readOnly ? "read-only" : "update");
        if (readOnly)
            state.SetReadOnly();
        else
            state.SetUpdate();
        EXPECT_EQ(form.fraArchiveViewer()->IsReadOnly(), readOnly);
        EXPECT_EQ(form.frSequencer()->IsReadOnly(), readOnly);
        EXPECT_EQ(form.fraModbus()->IsReadOnly(), readOnly);
        EXPECT_EQ(form.fraAnalyzerStreams()->StreamEditingEnabled(), !readOnly);
        // The stream, archive and Modbus pages stay usable for reading; Global is locked.
        EXPECT_TRUE(PageEditable(form.Frame(MainPage::Stream)));
        EXPECT_TRUE(PageEditable(form.Frame(MainPage::Archive)));
        EXPECT_TRUE(PageEditable(form.Frame(MainPage::Modbus)));
        EXPECT_EQ(PageEditable(form.Frame(MainPage::Global)), !readOnly);
        EXPECT_EQ(PageEditable(form.Frame(MainPage::Sequencer)), !readOnly);
    }
}

TEST_F(MainFormTest, StartUpMakesTheHiddenLogAndEventWindowsAndTheArchiveKeeper)
{
    {
        TFormMain form;
        form.show();
        ASSERT_TRUE(form.ServicesCreated());
        EXPECT_TRUE(LogDBManager::Exists());
        EXPECT_NE(form.frmAudit(), nullptr);
        for (const char* name : {"LogFrm", "AuditForm"}) {
            SCOPED_TRACE(name);
            auto* window = form.findChild<QDialog*>(QString::fromLatin1(name));
            ASSERT_NE(window, nullptr);
            EXPECT_TRUE(window->isWindow());
            EXPECT_FALSE(window->isVisible());
        }
    }
    // The window takes the decoded archive with it.
    EXPECT_FALSE(LogDBManager::Exists());
}

TEST_F(MainFormTest, MaintenanceWarnsOnEveryShowingAndSwitchesDirectControlOffWhenLeft)
{
    TFormMain form;
    std::vector<std::string> log;
    UseRecordingCommands(form, log);
    const QString warning = QStringLiteral("Changing parameters in Maintenance Page may affect operation of the unit.\n"
                                           "It is recommended that any change in this page be done by authorised personal only.");
    for (int round = 0; round < 2; ++round) {
        prompter.prompts.clear();
        form.PageControlMain()->setCurrentIndex(static_cast<int>(MainPage::Maintenance));
        EXPECT_EQ(prompter.Texts(), QStringList{warning});
        EXPECT_EQ(DataBase::Instance()->AsExpressScan().CurrentPage(), 9);
        form.fraBoardTester()->DirectControlEnable()->setChecked(true);
        log.clear();
        form.PageControlMain()->setCurrentIndex(static_cast<int>(MainPage::Timers));
        EXPECT_FALSE(form.fraBoardTester()->DirectControlEnable()->isChecked());
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(log.front(), "WriteSinglePoint(332,False)");
    }
}

TEST_F(MainFormTest, InputAndOutputPagesWarnOnEveryEntry)
{
    TFormMain form;
    const struct {
        MainPage tab;
        const char* warning;
    } kCases[] = {
        {MainPage::InputsDry, "Changing parameters in Inputs-DRY Page may affect operation of the analyzer.\n"},
        {MainPage::InputsWet, "Changing parameters in Inputs-WET Page may affect operation of the analyzer.\n"},
        {MainPage::Outputs, "Changing parameters in Outputs Page may affect operation of the analyzer.\n"},
    };
    for (const auto& c : kCases) {
        prompter.prompts.clear();
        form.PageControlMain()->setCurrentIndex(static_cast<int>(c.tab));
        EXPECT_EQ(prompter.Texts(), QStringList{QString::fromLatin1(c.warning) +
                                                QStringLiteral("It is recommended that any change in this page be done by "
                                                               "authorised personal only.")});
        ASSERT_FALSE(prompter.prompts.empty());
        EXPECT_EQ(prompter.prompts.back().type, platform::DlgType::Warning);
    }
}

TEST_F(MainFormTest, ClosingWhileLoggedOnAsksOnceAndNoKeepsTheWindow)
{
    TFormMain form;
    form.show();
    std::vector<std::string> log;
    UseRecordingCommands(form, log);
    LookLoggedOn(form);
    const QString question = QStringLiteral("Logging on status.\n\nContinue logging off and exit?");

    prompter.answers = {platform::mrNo};
    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(prompter.Texts(), QStringList{question});
    EXPECT_EQ(prompter.prompts.back().type, platform::DlgType::Confirmation);

    prompter.prompts.clear();
    prompter.answers = {platform::mrYes};
    EXPECT_TRUE(form.close());
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(prompter.Texts(), QStringList{question});
}

TEST_F(MainFormTest, ExitWhileLoggedOnAsksOnceThenClosesWithoutASecondQuestion)
{
    TFormMain form;
    form.show();
    std::vector<std::string> log;
    UseRecordingCommands(form, log);
    LookLoggedOn(form);
    prompter.answers = {platform::mrYes};
    form.tbtnExitClick();
    EXPECT_EQ(prompter.prompts.size(), 1u);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(ExitRequestedFlag());
    EXPECT_FALSE(form.Action("tbtnLogoff")->isEnabled());
    SetExitRequestedFlag(false);
}

TEST_F(MainFormTest, ClosingOffLineAsksNothing)
{
    TFormMain form;
    form.show();
    EXPECT_TRUE(form.close());
    EXPECT_TRUE(prompter.prompts.empty());
}

TEST_F(MainFormTest, WithoutTheSharedRoutinesTheWindowOpensWithoutServices)
{
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    TFormMain::SetLibraryFolder(empty.path());
    {
        TFormMain form;
        ASSERT_EQ(prompter.prompts.size(), 2u);
        EXPECT_FALSE(prompter.prompts[0].text.isEmpty());   // the system's words
        EXPECT_EQ(prompter.prompts[1].text, QStringLiteral("Unable to load Ombrel.dll."));
        EXPECT_FALSE(form.SharedRoutinesBound());
        EXPECT_FALSE(form.ServicesCreated());
        EXPECT_FALSE(form.Timer1Active());
        EXPECT_EQ(CommandLine::Existing(), nullptr);
        EXPECT_FALSE(DataBase::Exists());
        // The window still opens and its buttons keep their start-up states.
        form.show();
        EXPECT_TRUE(form.Action("tbtnLogon")->isEnabled());
        form.PageControlMain()->setCurrentIndex(static_cast<int>(MainPage::Global));
        form.tbtnLogonClick();
        form.tbtnPollClick();
        form.WriteSinglePoint(332, "False");
        EXPECT_NE(form.PostEdits(), 0);
        EXPECT_EQ(prompter.prompts.size(), 2u);
        EXPECT_TRUE(form.close());
    }
    EXPECT_EQ(PageRegistry::Exists(), false);
}

TEST_F(MainFormTest, LinkStateSetsTheIconsAndRepaintsOnlyOnAChange)
{
    TFormMain form;
    const struct {
        int state;
        int rx, tx;
        bool repaint;
        const char* panel0;   // nullptr: unchanged
    } kSteps[] = {
        {1, 1, 1, true, ""},
        {1, 1, 1, false, nullptr},
        {2, 1, 2, true, nullptr},
        {3, 2, 1, true, nullptr},
        {4, 3, 3, true, nullptr},
        {5, 4, 4, true, "Temporarily paused for discontinuous communication..."},
        {5, 4, 4, false, nullptr},
        {9, 0, 0, true, nullptr},
        {9, 0, 0, true, nullptr},   // an unknown state repaints every time
        {0, 0, 0, false, nullptr},  // already (0, 0)
    };
    for (const auto& s : kSteps) {
        SCOPED_TRACE(s.state);
        const int before = form.StatusLineRepaints();
        const QString text = form.StatusLine()->PanelText(0);
        platform::SendMessage(&form, platform::WM_COMM_STATUS, static_cast<uintptr_t>(s.state));
        EXPECT_EQ(form.RxIcon(), s.rx);
        EXPECT_EQ(form.TxIcon(), s.tx);
        EXPECT_EQ(form.StatusLineRepaints() - before, s.repaint ? 1 : 0);
        EXPECT_EQ(form.StatusLine()->PanelText(0), s.panel0 ? QString::fromLatin1(s.panel0) : text);
    }
}

// Every exchange with the unit passes the link states and a progress step; the status line
// draws again only the panels they change, and the clock's tick only the clock.
TEST_F(MainFormTest, AnExchangeDrawsOnlyTheStatusPanelsItChanges)
{
    TFormMain form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.StatusBarTimerTimer();
    platform::SendMessage(&form, platform::WM_COMM_STATUS, 1);
    form.SetNumber("localPBarMax", 12);
    QTest::qWait(50);

    struct PaintLog : QObject {
        std::set<QObject*> painted;
        bool eventFilter(QObject* o, QEvent* e) override
        {
            if (e->type() == QEvent::Paint) painted.insert(o);
            return false;
        }
    } log;
    QApplication::instance()->installEventFilter(&log);
    const auto paintedAfter = [&log](const std::function<void()>& what) {
        log.painted.clear();
        what();
        QTest::qWait(30);
        return log.painted;
    };
    TQStatusBar* line = form.StatusLine();
    QWidget* rx = line->Panel(4);
    QWidget* tx = line->Panel(5);
    EXPECT_EQ(paintedAfter([&form] {
                  platform::SendMessage(&form, platform::WM_COMM_STATUS, 2);
                  platform::SendMessage(&form, platform::WM_COMM_STATUS, 3);
                  platform::SendMessage(&form, platform::WM_COMM_PROGRESS, 1);
                  platform::SendMessage(&form, platform::WM_COMM_STATUS, 1);
              }),
              (std::set<QObject*>{rx, tx, form.StatusProgress()}));
    EXPECT_EQ(form.StatusProgress()->value(), 1);
    EXPECT_TRUE(paintedAfter([&form] { platform::SendMessage(&form, platform::WM_COMM_STATUS, 1); }).empty());
    line->SetPanelText(3, QStringLiteral("September 30, 2000 12:00:00 PM"));
    QTest::qWait(30);
    const std::set<QObject*> painted = paintedAfter([&form] { form.StatusBarTimerTimer(); });
    ASSERT_NE(line->PanelText(3), QStringLiteral("September 30, 2000 12:00:00 PM"));
    EXPECT_EQ(painted, (std::set<QObject*>{line->Panel(3)}));
    QApplication::instance()->removeEventFilter(&log);
}

TEST_F(MainFormTest, ProgressStepsTheBarWithinItsMaximum)
{
    TFormMain form;
    QProgressBar* bar = form.StatusProgress();
    // No maximum yet, or a maximum of 0 (a memory under one block, a failed busy poll): a
    // step leaves the bar unchanged, and it shows empty, not as a busy indicator.
    platform::SendMessage(&form, platform::WM_COMM_PROGRESS, 1);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_GT(bar->maximum(), bar->minimum());
    form.SetNumber("localPBarMax", 0);
    platform::SendMessage(&form, platform::WM_COMM_PROGRESS, 1);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_GT(bar->maximum(), bar->minimum());
    form.SetNumber("localPBarMax", 2);
    for (int expected : {1, 2, 0, 1}) {
        platform::SendMessage(&form, platform::WM_COMM_PROGRESS, 1);
        EXPECT_EQ(bar->value(), expected);
    }
    EXPECT_EQ(bar->maximum(), 2);
    platform::SendMessage(&form, platform::WM_COMM_PROGRESS, 7);
    EXPECT_EQ(bar->value(), 1);
    platform::SendMessage(&form, platform::WM_COMM_PROGRESS, 0);
    EXPECT_EQ(bar->value(), 0);

    // The special panel: a text makes it white, the empty text resets it and the bar.
    platform::SendMessage(&form, platform::WM_COMM_PROGRESS, 1);
    form.SetText("StatusLineSpecialPanel", "Express Reading...");
    EXPECT_EQ(form.SpecialPanel()->text(), QStringLiteral("Express Reading..."));
    EXPECT_EQ(form.SpecialPanel()->palette().color(QPalette::Window), QColor(Qt::white));
    form.SetText("StatusLineSpecialPanel", "");
    EXPECT_EQ(form.SpecialPanel()->text(), QString());
    EXPECT_NE(form.SpecialPanel()->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_EQ(bar->value(), 0);
}

TEST_F(MainFormTest, LogonRoadRefusesWhileACommandRuns)
{
    TFormMain form;
    std::vector<std::string> log;
    // A click on Logon handled while a device exchange pumps messages inside a command.
    UseRecordingCommands(form, log, {{"ExpressRead", [&form] { form.tbtnLogonClick(); }}});
    CommandLine::Instance().Post("ExpressRead");
    EXPECT_EQ(log, (std::vector<std::string>{"ExpressRead"}));
    EXPECT_EQ(prompter.Texts(), QStringList{QStringLiteral("Please wait for current task to finish, then proceed.")});
    EXPECT_TRUE(form.Action("tbtnLogon")->isEnabled());
}

TEST_F(MainFormTest, LogonRoadStopsWhenTheLogonDidNotSucceed)
{
    TFormMain form;
    std::vector<std::string> log;
    // A logon that fails the way the command reports it: the Logon button comes back.
    UseRecordingCommands(form, log, {{"Logon", [&form] { form.SetFlag("tbtnLogon", true); }}});
    form.PageControlMain()->setCurrentIndex(static_cast<int>(MainPage::Global));
    log.clear();
    form.tbtnLogonClick();
    EXPECT_EQ(form.CurrentPage(), MainPage::Analysis);
    // Polling is stopped before the logon; a failed logon turns nothing on.
    EXPECT_EQ(log, (std::vector<std::string>{"StopPoll(off)", "Logon"}));
    EXPECT_FALSE(CommandLine::Instance().IsPolling());
    EXPECT_TRUE(form.Action("tbtnLogon")->isEnabled());
    EXPECT_TRUE(form.Action("tbtnComm")->isEnabled());
    EXPECT_TRUE(form.Action("tbtnUpgrade")->isEnabled());
    EXPECT_EQ(form.ModeDisp()->text(), QStringLiteral("OFF LINE"));

    // A Logon that reports nothing at all is no success either: the road gives the buttons back.
    log.clear();
    UseRecordingCommands(form, log);
    form.tbtnLogonClick();
    EXPECT_TRUE(form.Action("tbtnLogon")->isEnabled());
    EXPECT_FALSE(form.Action("mnuUpdateMode")->isEnabled());
}

TEST_F(MainFormTest, OwnerKeysDriveTheWindow)
{
    TFormMain form;
    form.SetFlag("DisablePages", true);
    EXPECT_FALSE(form.PageControlMain()->isEnabled());
    form.SetFlag("EnablePages", false);
    EXPECT_TRUE(form.PageControlMain()->isEnabled());
    form.SetFlag("tbtnExit", false);
    EXPECT_FALSE(form.Action("tbtnExit")->isEnabled());
    EXPECT_FALSE(form.Action("Exit1")->isEnabled());
    form.SetFlag("tbtnExit", true);

    LookLoggedOn(form);
    EXPECT_FALSE(form.GetFlag("LoggingOn"));
    EXPECT_TRUE(StateMgr::Instance().IsLoggedOn());
    EXPECT_TRUE(form.Action("tbtnPoll")->isEnabled());
    form.SetFlag("tbtnLogon", true);
    EXPECT_TRUE(form.GetFlag("LoggingOn"));
    EXPECT_EQ(form.ModeDisp()->text(), QStringLiteral("OFF LINE"));
    EXPECT_FALSE(form.Action("mnuUpdateMode")->isEnabled());
    EXPECT_FALSE(form.Action("mnuUpdateMode")->isChecked());
    EXPECT_TRUE(form.WaitProgress());

    EXPECT_EQ(form.Request("NoSuchKey", nullptr), -1);
    EXPECT_FALSE(form.GetFlag("NoSuchKey"));
    EXPECT_EQ(form.GetDate("NoSuchKey", 1), 0.0);
    // The timestamp token both ways through the shared routines.
    double date = form.GetDate("TimestampTokenToDate", static_cast<int32_t>((11u << 26) | (3u << 22) | (15u << 17) | (12u << 12)));
    EXPECT_GT(date, 40000.0);
    EXPECT_EQ(static_cast<uint32_t>(form.Request("DateToTimestampToken", &date)), (11u << 26) | (3u << 22) | (15u << 17) | (12u << 12));
    // Nothing refuses its text on a page without edits.
    EXPECT_EQ(form.Request("SendToDatabase", nullptr), 0);
}

TEST_F(MainFormTest, LogonRoadAgainstTheSimulatedAnalyzerThenPageReadsAndClose)
{
    FakeClock clock;
    sim::AnalyzerCore unit;
    cmdtest::CmdEngine engine{&unit};
    TFormMain form;
    form.show();
    ASSERT_TRUE(form.ServicesCreated());

    // The mode choice after the logon: "Read Only".
    int modeDialogs = 0;
    testsupport::AnsweringModals(
        [&modeDialogs](QWidget* modal) {
            if (auto* dialog = qobject_cast<TUpdModeDlg*>(modal)) {
                ++modeDialogs;
                dialog->btnReadOnly()->click();
            }
        },
        [&form] { form.tbtnLogonClick(); });

    EXPECT_EQ(modeDialogs, 1);
    EXPECT_TRUE(form.LoggedOn());
    EXPECT_TRUE(form.Action("tbtnLogoff")->isEnabled());
    EXPECT_EQ(form.ModeDisp()->text(), QStringLiteral("READ ONLY"));
    EXPECT_TRUE(form.Action("mnuUpdateMode")->isEnabled());
    EXPECT_FALSE(form.Action("mnuUpdateMode")->isChecked());
    EXPECT_FALSE(form.PageControlMain()->isTabVisible(static_cast<int>(MainPage::Maintenance)));
    EXPECT_FALSE(form.PageControlMain()->isTabVisible(static_cast<int>(MainPage::Factory)));
    EXPECT_TRUE(form.PageControlMain()->isTabVisible(static_cast<int>(MainPage::Modbus)));
    // The Analysis page is shown: it is polled.
    EXPECT_TRUE(CommandLine::Instance().IsPolling());
    auto* poll = CommandLine::Instance().FindAs<PeriodicPollCommand>("PeriodicPoll");
    ASSERT_NE(poll, nullptr);
    EXPECT_TRUE(poll->Timer()->isActive());
    EXPECT_EQ(DataBase::Instance()->AsExpressScan().CurrentPage(), 0);

    // Showing the Global page registers its points and reads them from the unit once.
    unit.ClearLog();
    form.PageControlMain()->setCurrentIndex(static_cast<int>(MainPage::Global));
    EXPECT_EQ(DataBase::Instance()->AsExpressScan().CurrentPage(), 2);
    EXPECT_FALSE(CommandLine::Instance().IsPolling());
    const std::vector<QByteArray> requests = unit.Requests();
    EXPECT_FALSE(requests.empty());
    bool blockRead = false;
    for (const QByteArray& r : requests) blockRead = blockRead || (r.size() > 1 && static_cast<uint8_t>(r.at(1)) == 50);
    EXPECT_TRUE(blockRead);
    EXPECT_TRUE(prompter.prompts.empty()) << prompter.Texts().join(QStringLiteral(" | ")).toStdString();

    // Closing while logged on asks; No keeps the window and the connection.
    prompter.answers = {platform::mrNo, platform::mrYes};
    EXPECT_FALSE(form.close());
    EXPECT_FALSE(engine.userCancel);
    EXPECT_TRUE(form.close());
    EXPECT_TRUE(engine.userCancel);
    EXPECT_EQ(prompter.Texts(), QStringList(2, QStringLiteral("Logging on status.\n\nContinue logging off and exit?")));
}

TEST_F(MainFormTest, LogonRoadStopsWhenTheUserChoseToCloseInsideTheLogon)
{
    FakeClock clock;
    sim::AnalyzerCore unit;
    unit.SetValue(sim::DbId{20}, 2);   // not the single-stream set-up: the logon asks
    cmdtest::CmdEngine engine{&unit};
    TFormMain form;
    form.show();
    ASSERT_TRUE(form.ServicesCreated());

    int modalDialogs = 0;
    QTimer watch;
    watch.setInterval(5);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            ++modalDialogs;
            modal->close();
        }
    });
    watch.start();
    prompter.answers = {platform::mrNo};
    form.tbtnLogonClick();
    watch.stop();

    EXPECT_EQ(prompter.Texts(), QStringList{QStringLiteral("Do you want to setup analyzer as K41W?")});
    EXPECT_EQ(modalDialogs, 0);   // no mode choice, no password
    EXPECT_TRUE(ExitRequestedFlag());
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.ModeDisp()->text(), QStringLiteral("OFF LINE"));
    SetExitRequestedFlag(false);
}

TEST_F(MainFormTest, UpdateModeLogonWithTheMasterPasswordOpensEveryTab)
{
    FakeClock clock;
    sim::AnalyzerCore unit;
    cmdtest::CmdEngine engine{&unit};
    TFormMain form;
    form.show();
    ASSERT_TRUE(form.ServicesCreated());

    LogOnInUpdateMode(form);

    EXPECT_EQ(form.ModeDisp()->text(), QStringLiteral("UPDATE"));
    EXPECT_TRUE(form.Action("mnuUpdateMode")->isChecked());
    EXPECT_TRUE(form.Action("mnuReboot")->isEnabled());
    for (int i = 0; i < 17; ++i) EXPECT_TRUE(form.PageControlMain()->isTabVisible(i)) << i;
    // The Analysis page is polled, so the window stays busy: no writes, no files.
    EXPECT_FALSE(form.Action("tbtnWrite")->isEnabled());
    EXPECT_FALSE(form.Action("tbtnSave")->isEnabled());
    // Another page makes it idle: in Update mode the write buttons come on.
    form.PageControlMain()->setCurrentIndex(static_cast<int>(MainPage::Events));
    EXPECT_TRUE(form.Action("tbtnWrite")->isEnabled());
    EXPECT_TRUE(form.Action("WriteConfig")->isEnabled());
    EXPECT_TRUE(form.Action("tbtnSave")->isEnabled());

    // The menu toggle back to read-only hides Maintenance and Factory again.
    form.Action("mnuUpdateMode")->trigger();
    EXPECT_EQ(form.ModeDisp()->text(), QStringLiteral("READ ONLY"));
    EXPECT_FALSE(form.PageControlMain()->isTabVisible(static_cast<int>(MainPage::Maintenance)));
    EXPECT_FALSE(form.Action("tbtnWrite")->isEnabled());
    EXPECT_TRUE(prompter.prompts.empty()) << prompter.Texts().join(QStringLiteral(" | ")).toStdString();
}

TEST_F(MainFormTest, PermanentWriteOnThePortsPageRebootsAndRestarts)
{
    TFormMain form;
    form.show();
    std::vector<std::string> log;
    UseRecordingCommands(form, log);
    LookLoggedOn(form);
    form.PageControlMain()->setCurrentIndex(static_cast<int>(MainPage::Ports));

    // Cancel: the writes happen, the reboot does not.
    log.clear();
    prompter.answers = {platform::mrCancel};
    form.SetDefaultConfigClick();
    EXPECT_EQ(log, (std::vector<std::string>{"WriteMain", "WriteConfig", "ExpressRead"}));
    EXPECT_TRUE(form.isVisible());
    ASSERT_EQ(prompter.prompts.size(), 1u);
    EXPECT_EQ(prompter.prompts[0].text,
              QStringLiteral("Changing the port setting requires the analyzer to be rebooted.\n"
                             "After pressing OK button, analyzer will automatically reboot, and GUI will restart.\n"
                             "After reboot, you can LOG ON again."));
    EXPECT_EQ(prompter.prompts[0].buttons, platform::mbOK | platform::mbCancel);

    // OK: reboot, log off, and the window closes for a restart without the logged-on question.
    log.clear();
    prompter.prompts.clear();
    prompter.answers = {platform::mrOk};
    form.SetDefaultConfigClick();
    EXPECT_EQ(log, (std::vector<std::string>{"WriteMain", "WriteConfig", "ExpressRead", "Reboot", "Logoff"}));
    EXPECT_EQ(prompter.prompts.size(), 1u);
    EXPECT_TRUE(AppFlags::RelaunchRequested);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.ModeDisp()->text(), QStringLiteral("OFF LINE"));
    AppFlags::RelaunchRequested = 0;
}

TEST_F(MainFormTest, RestartClosesTheWaitAndBackdropWindowsAndAsksForARelaunch)
{
    TFormMain form;
    form.show();
    ASSERT_NE(form.fmUpgrade(), nullptr);
    form.UpgradeWindow()->Show(true);
    TWait* wait = form.Wait();
    wait->show();
    ASSERT_TRUE(form.fmUpgrade()->Back()->isVisible());

    form.Restart();
    EXPECT_TRUE(AppFlags::RelaunchRequested);
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(wait->isVisible());
    EXPECT_FALSE(form.fmUpgrade()->Back()->isVisible());
    EXPECT_TRUE(prompter.prompts.empty()) << prompter.Texts().join(QStringLiteral(" | ")).toStdString();
    AppFlags::RelaunchRequested = 0;
}

TEST_F(MainFormTest, PermanentWriteRefusesWhileACommandRuns)
{
    TFormMain form;
    std::vector<std::string> log;
    UseRecordingCommands(form, log, {{"ExpressRead2", [&form] { form.SetDefaultConfigClick(); }}});
    LookLoggedOn(form);
    CommandLine::Instance().Post("ExpressRead2");
    EXPECT_EQ(log, (std::vector<std::string>{"ExpressRead2"}));
    EXPECT_EQ(prompter.Texts(), QStringList{QStringLiteral("Please wait for current task to finish, then proceed.")});
}

TEST_F(MainFormTest, ClockPanelAndTheOneSecondUpgradeCheck)
{
    TFormMain form;
    form.StatusBarTimerTimer();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[A-Z][a-z]+ \\d{1,2}, \\d{4} \\d{1,2}:\\d{2}:\\d{2} (AM|PM)$"))
                    .match(form.StatusLine()->PanelText(3))
                    .hasMatch())
        << form.StatusLine()->PanelText(3).toStdString();

    // Ten ticks of 100 ms do nothing; the eleventh ends the check.
    ASSERT_TRUE(form.Timer1Active());
    for (int tick = 1; tick <= 10; ++tick) form.Timer1Timer();
    EXPECT_TRUE(form.Timer1Active());
    form.Timer1Timer();
    EXPECT_FALSE(form.Timer1Active());
    EXPECT_EQ(form.UpgradeCheckTicks(), 110);
}

TEST_F(MainFormTest, SuspendIsAnnouncedOnlyWhileLoggedOn)
{
    TFormMain form;
    ASSERT_NE(form.Power(), nullptr);
    const auto deliver = [&form](bool start) {
        // As the login manager's signal arrives from the system bus.
        ASSERT_TRUE(QMetaObject::invokeMethod(form.Power(), "PrepareForSleep", Q_ARG(bool, start)));
    };

    deliver(true);   // off line: nothing
    EXPECT_TRUE(prompter.prompts.empty());

    LookLoggedOn(form);
    deliver(false);   // the resume says nothing
    EXPECT_TRUE(prompter.prompts.empty());
    deliver(true);
    ASSERT_EQ(prompter.prompts.size(), 1u);
    EXPECT_EQ(prompter.prompts[0].caption, "Attention");
    EXPECT_EQ(prompter.prompts[0].text, "Sentrel found power suspended, click OK button to continue.\n"
                                        " If the communication has problem, please recycle the communication port.");
    EXPECT_EQ(prompter.prompts[0].buttons, platform::mbOK);
}

TEST_F(MainFormTest, AboutShowsItsFormModally)
{
    TFormMain form;
    bool seen = false;
    QTimer::singleShot(0, [&seen] {
        auto* about = qobject_cast<TAboutForm*>(QApplication::activeModalWidget());
        if (!about) return;
        seen = true;
        EXPECT_EQ(about->windowTitle(), "About");
        EXPECT_EQ(about->ProductName()->text(), "Sentrel Desktop");
        EXPECT_EQ(about->Comments()->text(), "Sentrel Analyzer Graphical User Interface");
        // The program's version as the build gives it, in dotted numbers.
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^Version \\d+\\.\\d+\\.\\d+$")).match(about->Version()->text()).hasMatch())
            << about->Version()->text().toStdString();
        EXPECT_EQ(about->Version()->text(), QStringLiteral("Version ") + TAboutForm::ProgramVersion());
        about->OKButton()->click();
    });
    form.Action("About1")->trigger();
    EXPECT_TRUE(seen);
    EXPECT_TRUE(prompter.prompts.empty());
}

namespace {
// Takes the file addresses the program asks the desktop to open.
class OpenedFiles : public QObject {
    Q_OBJECT
public:
    OpenedFiles() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "Open"); }
    ~OpenedFiles() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QStringList paths;
public slots:
    void Open(const QUrl& url) { paths << url.toLocalFile(); }
};
}  // namespace

TEST_F(MainFormTest, HelpFilesOpenFromTheDataFolderOrSayWhichFileIsMissingWhere)
{
    TFormMain form;
    OpenedFiles opened;
    const QDir folder(SecurityChk::Instance().GetFolder());
    const struct {
        const char* item;
        const char* file;
    } kItems[] = {{"WiringBook", "K41_WIRING_BOOK.pdf"}, {"Manual", "K41W manual_ rev1.pdf"}};
    for (const auto& c : kItems) {
        SCOPED_TRACE(c.item);
        const QString name = QString::fromLatin1(c.file);
        const QString path = folder.filePath(name);
        QFile::remove(path);
        prompter.prompts.clear();
        opened.paths.clear();

        // Missing: one error box names the file and the folder; nothing is opened.
        form.Action(c.item)->trigger();
        ASSERT_EQ(prompter.prompts.size(), 1u);
        EXPECT_EQ(prompter.prompts[0].type, platform::DlgType::Error);
        EXPECT_EQ(prompter.prompts[0].text, QStringLiteral("The file \"%1\" was not found in the folder \"%2\".")
                                                .arg(name, QDir::toNativeSeparators(folder.path())));
        EXPECT_TRUE(opened.paths.isEmpty());

        // Present: it is opened, with no box.
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.close();
        form.Action(c.item)->trigger();
        EXPECT_EQ(prompter.prompts.size(), 1u);
        EXPECT_EQ(opened.paths, QStringList{path});
        QFile::remove(path);
    }
}

TEST_F(MainFormTest, FactoryTabAsksForTheCodeAndReadsUnlessCancelled)
{
    TFormMain form;
    form.show();
    std::vector<std::string> log;
    UseRecordingCommands(form, log);
    LookLoggedOn(form);
    QWidget* contents = form.fraFactory()->findChild<QWidget*>(QStringLiteral("gbSensor"));
    ASSERT_NE(contents, nullptr);

    const struct {
        const char* typed;   // nullptr: Cancel
        bool contentsShown;
        std::vector<std::string> posts;
    } kCases[] = {
        {nullptr, false, {"StopPoll(off)"}},
        {"wrong", false, {"StopPoll(off)", "ExpressRead"}},
        {SecurityChk::kFactoryCode, true, {"StopPoll(off)", "ExpressRead"}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.typed ? c.typed : "cancel");
        form.PageControlMain()->setCurrentIndex(static_cast<int>(MainPage::Timers));
        log.clear();
        QString title;
        testsupport::AnsweringModals(
            [&](QWidget* modal) {
                if (auto* dialog = qobject_cast<TfrmLogon*>(modal)) {
                    title = dialog->windowTitle();
                    if (c.typed) {
                        dialog->ledPassword()->setText(QString::fromLatin1(c.typed));
                        dialog->btnOK()->click();
                    } else {
                        dialog->btnCancel()->click();
                    }
                }
            },
            [&form] { form.PageControlMain()->setCurrentIndex(static_cast<int>(MainPage::Factory)); });
        EXPECT_EQ(title, QStringLiteral("Factory Mode Logon"));
        EXPECT_EQ(contents->isVisible(), c.contentsShown);
        EXPECT_EQ(form.fraFactory()->lblNotice()->isVisible(), !c.contentsShown);
        // The page's controls are enabled by the page; only the user level's lock holds them.
        EXPECT_EQ(form.fraFactory()->cbStreams()->isEnabledTo(form.fraFactory()), PageEditable(form.fraFactory()));
        SetPageEditable(form.fraFactory(), true);
        EXPECT_TRUE(form.fraFactory()->cbStreams()->isEnabledTo(form.fraFactory()));
        EXPECT_EQ(log, c.posts);
        EXPECT_EQ(DataBase::Instance()->AsExpressScan().CurrentPage(), 8);
    }
}

TEST_F(MainFormTest, LogoffRoadPostsLogoffAndShowsTheOffLineLook)
{
    TFormMain form;
    std::vector<std::string> log;
    UseRecordingCommands(form, log);
    LookLoggedOn(form);
    form.SetModeDisp(QStringLiteral("UPDATE"));
    form.Action("mnuUpdateMode")->setEnabled(true);
    DataBase::Instance()->AsWriteLogRecordsManager().Add(20);

    form.tbtnLogoffClick();
    // On the Analysis page polling goes off first.
    EXPECT_EQ(log, (std::vector<std::string>{"StopPoll(off)", "Logoff"}));
    EXPECT_FALSE(form.Action("tbtnLogoff")->isEnabled());
    EXPECT_EQ(form.ModeDisp()->text(), QStringLiteral("OFF LINE"));
    EXPECT_FALSE(form.Action("mnuUpdateMode")->isEnabled());
    EXPECT_FALSE(form.Action("mnuUpdateMode")->isChecked());
    EXPECT_TRUE(form.Action("tbtnComm")->isEnabled());
    EXPECT_TRUE(form.Action("tbtnUpgrade")->isEnabled());
    EXPECT_TRUE(SecurityChk::Instance().IsReadOnlyMode());
    EXPECT_TRUE(DataBase::Instance()->AsWriteLogRecordsManager().IsEmpty());
    EXPECT_TRUE(form.WaitProgress());
}

// The whole road with the real engine library: the simulated analyzer on TCP, the engine's
// settings pointing at it, logon, a page read and the link-state notices on the status line.
TEST_F(MainFormTest, LogonThroughTheEngineLibraryOverTcp)
{
    sim::AnalyzerCore unit;
    sim::WireServer wire(unit);
    ASSERT_TRUE(wire.StartTcp(0));
    struct RemoveIni {
        QString path;
        ~RemoveIni() { QFile::remove(path); }
    } removeIni{testsupport::PointEngineAtTcp(wire.TcpPort())};

    TFormMain form;
    form.show();
    ASSERT_TRUE(form.ServicesCreated());
    const int repaints = form.StatusLineRepaints();
    testsupport::AnsweringModals(
        [](QWidget* modal) {
            if (auto* dialog = qobject_cast<TUpdModeDlg*>(modal)) dialog->btnReadOnly()->click();
        },
        [&form] { form.tbtnLogonClick(); });

    ASSERT_TRUE(form.LoggedOn()) << prompter.Texts().join(QStringLiteral(" | ")).toStdString();
    EXPECT_EQ(form.ModeDisp()->text(), QStringLiteral("READ ONLY"));
    // The engine told the window about the link while it worked.
    EXPECT_GT(form.StatusLineRepaints(), repaints);

    unit.ClearLog();
    form.PageControlMain()->setCurrentIndex(static_cast<int>(MainPage::Timers));
    EXPECT_FALSE(unit.Requests().empty());
    EXPECT_EQ(DataBase::Instance()->AsExpressScan().CurrentPage(), 16);

    prompter.answers = {platform::mrYes};
    EXPECT_TRUE(form.close());
}

TEST_F(MainFormTest, ASharedRoutineLibraryWithoutItsRoutinesIsRefusedWhole)
{
    // Any library that loads but has none of the routines: the compression library every Qt
    // program carries, under the shared-routine library's file name.
    QString stranger;
    for (const char* candidate : {"/usr/lib/x86_64-linux-gnu/libz.so.1", "/lib/x86_64-linux-gnu/libz.so.1",
                                  "/usr/lib64/libz.so.1", "/usr/lib/libz.so.1"})
        if (QFile::exists(QString::fromLatin1(candidate))) {
            stranger = QString::fromLatin1(candidate);
            break;
        }
    if (stranger.isEmpty()) GTEST_SKIP() << "no compression library found";
    QTemporaryDir folder;
    ASSERT_TRUE(QFile::copy(stranger, folder.filePath(QStringLiteral("libombrel.so"))));
    TFormMain::SetLibraryFolder(folder.path());

    TFormMain form;
    ASSERT_EQ(prompter.prompts.size(), 2u);
    EXPECT_TRUE(prompter.prompts[0].text.contains(QStringLiteral("DoMyBroadcast")));
    EXPECT_EQ(prompter.prompts[1].text, QStringLiteral("Unable to load Ombrel.dll."));
    EXPECT_FALSE(form.SharedRoutinesBound());
    EXPECT_EQ(form.Ombrel().Initialize, nullptr);
    EXPECT_EQ(form.Ombrel().DoMyBroadcast, nullptr);
    EXPECT_FALSE(form.ServicesCreated());
    EXPECT_EQ(CommandLine::Existing(), nullptr);
    EXPECT_EQ(form.GetDate("TimestampTokenToDate", 1), 0.0);
    double now = 40000.0;
    EXPECT_EQ(form.Request("DateToTimestampToken", &now), -1);
}

// A temporary write in Update mode: the edited point goes to the unit's working memory (not to
// its flash), the write is traced and listed for confirmation, and the page is read again.
TEST_F(MainFormTest, TemporaryWriteSendsTheEditedPointToTheUnitAndReadsThePageAgain)
{
    FakeClock clock;
    sim::AnalyzerCore unit;
    cmdtest::CmdEngine engine{&unit};
    TFormMain form;
    form.show();
    ASSERT_TRUE(form.ServicesCreated());
    // The Global page's controls check their values before a write: the unit holds valid ones.
    unit.SetValue(sim::DbId{34}, 4);   // trend filter length, 1 to 10

    LogOnInUpdateMode(form);
    ASSERT_EQ(form.ModeDisp()->text(), QStringLiteral("UPDATE"));

    // The Global page: not polled, so the write button is on in Update mode.
    form.PageControlMain()->setCurrentIndex(static_cast<int>(MainPage::Global));
    ASSERT_TRUE(form.Action("tbtnWrite")->isEnabled());

    const uint16_t purgeTime = 10;   // "Purge Time", a writable configuration point
    const double before = unit.Value(sim::DbId{purgeTime});
    auto* edit = form.Frame(MainPage::Global)->findChild<QLineEdit*>(QStringLiteral("ledPurgeTime"));
    ASSERT_NE(edit, nullptr);
    edit->setText(QStringLiteral("321"));
    unit.ClearLog();

    form.tbtnWriteClick();

    EXPECT_EQ(unit.Value(sim::DbId{purgeTime}), 321.0);
    EXPECT_EQ(unit.Value(sim::DbId{purgeTime}, sim::Copy::Flash), before);   // not committed to flash
    EXPECT_EQ(unit.RequestCount(4), 1);    // one point write
    EXPECT_EQ(unit.RequestCount(8), 0);    // no flash store
    EXPECT_GT(unit.RequestCount(50), 0);   // the page is read again afterwards
    EXPECT_FALSE(DataBase::Instance()->PointByDbId(purgeTime)->IsChanged());
    EXPECT_TRUE(DataBase::Instance()->AsWriteLogRecordsManager().Contains(purgeTime));
    QFile trace(platform::UserDataFile(QStringLiteral("LogWrite.dbg")));
    ASSERT_TRUE(trace.open(QIODevice::ReadOnly));
    EXPECT_TRUE(trace.readAll().contains("Purge Time"));
    EXPECT_TRUE(prompter.prompts.empty()) << prompter.Texts().join(QStringLiteral(" | ")).toStdString();
}

#include "main_form_test.moc"
