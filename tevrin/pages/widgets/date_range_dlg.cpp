#include "tevrin/pages/widgets/date_range_dlg.h"

#include "platform/window_fit.h"
#include "tevrin/pages/widgets/date_text.h"
#include "tevrin/pages/widgets/modal_dialog.h"

#include <QDate>
#include <QDateEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

TfrmDateRangeDlg::TfrmDateRangeDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmDateRangeDlg"));
    setWindowTitle(QStringLiteral("Select Date Range"));
    auto make = [this](const char* name) {
        auto* edit = new QDateEdit(QDate::currentDate(), this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setCalendarPopup(true);
        // The dates as the tables and filter conditions show them.
        edit->setDisplayFormat(datetext::ShortDateFormat());
        return edit;
    };
    dateTime1_ = make("DateTime1");
    dateTime2_ = make("DateTime2");

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(dateTime1_);
    layout->addWidget(dateTime2_);
    modaldialog::AddOkCancel(this, layout, "BitBtn1", ok_, cancel_);
    platform::FitToContentsWhenShown(*this);
}

int TfrmDateRangeDlg::ShowModal() { return modaldialog::Answer<TfrmDateRangeDlg>::Run(*this); }

void TfrmDateRangeDlg::SetAnswer(std::function<int(TfrmDateRangeDlg&)> answer)
{
    modaldialog::Answer<TfrmDateRangeDlg>::Set(std::move(answer));
}
