#include "tevrin/pages/widgets/date_range_dlg.h"

#include <QDate>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include <functional>

namespace {
std::function<int(TfrmDateRangeDlg&)>& Answer()
{
    static std::function<int(TfrmDateRangeDlg&)> answer;
    return answer;
}
}  // namespace

TfrmDateRangeDlg::TfrmDateRangeDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmDateRangeDlg"));
    setWindowTitle(QStringLiteral("Select Date Range"));
    auto make = [this](const char* name) {
        auto* edit = new QDateEdit(QDate::currentDate(), this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QLocale().dateFormat(QLocale::LongFormat));
        return edit;
    };
    dateTime1_ = make("DateTime1");
    dateTime2_ = make("DateTime2");
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("BitBtn1"));
    ok_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("btnCancel"));
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(dateTime1_);
    layout->addWidget(dateTime2_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);
}

int TfrmDateRangeDlg::ShowModal()
{
    if (Answer()) return Answer()(*this);
    return exec();
}

void TfrmDateRangeDlg::SetAnswer(std::function<int(TfrmDateRangeDlg&)> answer) { Answer() = std::move(answer); }
