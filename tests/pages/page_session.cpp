#include "tests/pages/page_session.h"

#include "tests/common/engine_settings.h"
#include "tests/common/modal_answer.h"

#include "brannix/qstatusbar.h"

#include "tevrin/rtdb/catalogue/catalogue_rows.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/shell/logon_dlg.h"
#include "tevrin/shell/main_form.h"
#include "tevrin/shell/security_chk.h"
#include "tevrin/shell/upd_mode_dlg.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>
#include <iterator>
#include <stdexcept>

namespace pagetest {

PageSession::PageSession()
{
    if (!wire.StartTcp(0)) throw std::runtime_error("the simulated analyzer could not listen");
    // The engine's settings: TCP to the simulated analyzer.
    iniPath_ = testsupport::PointEngineAtTcp(wire.TcpPort());
    TFormMain::SetLibraryFolder(QString());
    form_ = std::make_unique<TFormMain>();
    form_->show();
}

PageSession::~PageSession()
{
    // Closing while logged on asks once; answer Yes so that the window goes.
    prompter.answers = {platform::mrYes};
    if (form_) form_->close();
    form_.reset();
    wire.Stop();
    QFile::remove(iniPath_);
}

bool PageSession::LogOn(bool updateMode)
{
    testsupport::AnsweringModals(
        [updateMode](QWidget* modal) {
            if (auto* mode = qobject_cast<TUpdModeDlg*>(modal)) {
                (updateMode ? mode->btnUpdate() : mode->btnReadOnly())->click();
            } else if (auto* password = qobject_cast<TfrmLogon*>(modal)) {
                password->ledPassword()->setText(QString::fromLatin1(SecurityChk::kMasterPassword));
                password->btnOK()->click();
            }
        },
        [this] { form_->tbtnLogonClick(); });
    return form_->LoggedOn();
}

void PageSession::Show(MainPage page) { form_->PageControlMain()->setCurrentIndex(static_cast<int>(page)); }

void PageSession::ShowAfresh(MainPage page)
{
    Show(MainPage::Analysis);
    Show(page);
    unit.ClearLog();
}

bool PageSession::PumpUntil(const std::function<bool()>& condition, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

bool PageSession::PumpUntilLinkIdle(int timeoutMs)
{
    return PumpUntil([this] { return form_->RxIcon() == 1 && form_->TxIcon() == 1; }, timeoutMs);
}

namespace {
constexpr int kWriteTypes[] = {4, 6, 8, 12, 14, 22, 24, 38, 46, 52, 54, 62, 66};
}

int PageSession::WriteRequests() const
{
    int n = 0;
    for (int type : kWriteTypes) n += unit.RequestCount(type);
    return n;
}

bool PageSession::IsWriteType(int type)
{
    return std::find(std::begin(kWriteTypes), std::end(kWriteTypes), type) != std::end(kWriteTypes);
}

std::vector<int> PageSession::WrittenDbIds() const
{
    std::vector<int> ids;
    for (const QByteArray& request : unit.Requests()) {
        if (request.size() < 4 || (request[1] != 4 && request[1] != 6)) continue;
        const int row = static_cast<uint8_t>(request[2]) | static_cast<uint8_t>(request[3]) << 8;
        if (row < rosetta::kCatalogueRowCount) ids.push_back(rosetta::kCatalogueRows[row].dbId);
    }
    return ids;
}

std::vector<int> PageSession::RegisteredPoints()
{
    ExpressScan& scan = DataBase::Instance()->AsExpressScan();
    std::vector<int> ids;
    for (int i = 0; i < scan.Count(); ++i) ids.push_back(scan.At(i));
    return ids;
}

std::string PageSession::Text(int dbId) { return DataBase::Instance()->GetPointText(static_cast<TDbId>(dbId)); }

QByteArray FileContents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool ClaimsSaved(TFormMain& form)
{
    const QString claim = QStringLiteral("successfully saved");
    if (form.SpecialPanel() && form.SpecialPanel()->text().contains(claim)) return true;
    for (int i = 0; i < form.StatusLine()->PanelCount(); ++i)
        if (form.StatusLine()->PanelText(i).contains(claim)) return true;
    return false;
}

}  // namespace pagetest
