#pragma once
// What the parts of the main window share: the pages and commands they reach, the window's
// generated form, and the few texts and helpers more than one part uses. Only the main
// window's own files include this.
#include "tevrin/shell/main_form.h"

#include "ui_main_form.h"

#include <algorithm>


#include "brannix/control_protocol.h"
#include "brannix/qstatusbar.h"
#include "platform/data_folder.h"
#include "platform/messages.h"
#include "platform/process_wide.h"
#include "platform/prompter.h"
#include "tevrin/pages/analysis/fra_archive_viewer.h"
#include "tevrin/pages/analysis/fra_ww.h"
#include "tevrin/pages/analysis/audit_form.h"
#include "tevrin/pages/analysis/frm_audit.h"
#include "tevrin/pages/analysis/log_frm.h"
#include "tevrin/pages/analysis/log_db_manager.h"
#include "tevrin/pages/config/fr_sequencer.h"
#include "tevrin/pages/config/fra_analyzer_global.h"
#include "tevrin/pages/config/fra_analyzer_streams.h"
#include "tevrin/pages/config/frm_timer1.h"
#include "tevrin/pages/io/fr_analog_inputs.h"
#include "tevrin/pages/io/fra_board_tester.h"
#include "tevrin/pages/io/fra_comm_ports.h"
#include "tevrin/pages/io/fra_factory.h"
#include "tevrin/pages/io/fra_io.h"
#include "tevrin/pages/io/fra_modbus.h"
#include "tevrin/pages/io/fra_output.h"
#include "tevrin/pages/io/frm_alarm.h"
#include "tevrin/pages/io/frm_input2.h"
#include "tevrin/pages/io/frm_io_status.h"
#include "tevrin/rtdb/analog_output_collection.h"
#include "tevrin/rtdb/comm_db_point_facade.h"
#include "tevrin/rtdb/communications.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/shell/about_form.h"
#include "tevrin/shell/app_flags.h"
#include "tevrin/shell/clock_sync_dlg.h"
#include "tevrin/shell/commands/cmd_image.h"
#include "tevrin/shell/commands/cmd_read.h"
#include "tevrin/shell/commands/command_line.h"
#include "tevrin/shell/commands/command_registry.h"
#include "tevrin/shell/config_file.h"
#include "tevrin/shell/confirm_changes_dlg.h"
#include "tevrin/shell/logon_dlg.h"
#include "tevrin/shell/page_registry.h"
#include "tevrin/shell/power_notice.h"
#include "tevrin/shell/security_chk.h"
#include "tevrin/shell/set_upd_pwd_dlg.h"
#include "tevrin/shell/splash.h"
#include "tevrin/shell/status_progress_bar.h"
#include "tevrin/shell/upd_mode_dlg.h"
#include "tevrin/shell/upgrade.h"
#include "tevrin/shell/upgrade_steps.h"
#include "tevrin/shell/wait_dlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLibrary>
#include <QLocale>
#include <QPainter>
#include <QProgressBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include <exception>

namespace mainform {

inline const QString kBusyText = QStringLiteral("Please wait for current task to finish, then proceed.");
inline const QString kCloseQuestion = QStringLiteral("Logging on status.\n\nContinue logging off and exit?");

// Runs a handler so that nothing it throws reaches the event loop.
template <class F>
inline void Safely(F&& f)
{
    try {
        f();
    } catch (int code) {
        std::string text = "Error " + std::to_string(code) + ".";
        try {
            // Only a binding that exists is asked; asking would otherwise load the engine.
            TFormMain* form = TFormMain::Current();
            if (form && form->ServicesCreated()) text = Communications::Instance()->ErrorText(code);
        } catch (...) {
        }
        platform::MessageDlg(QString::fromStdString(text), platform::DlgType::Error, platform::mbOK);
    } catch (const std::exception& e) {
        platform::MessageDlg(QString::fromLocal8Bit(e.what()), platform::DlgType::Error, platform::mbOK);
    } catch (...) {
        platform::MessageDlg(QStringLiteral("Unexpected error."), platform::DlgType::Error, platform::mbOK);
    }
}

}  // namespace mainform
