#include "tevrin/pages/widgets/scale_dlg.h"

#include "brannix/qcomponentcommon.h"
#include "brannix/qlabelededit.h"
#include "tevrin/pages/widgets/modal_dialog.h"

#include <QVBoxLayout>

namespace {
TQLabeledEdit* MakeEdit(QWidget* parent, QVBoxLayout* layout, const char* name, const char* caption, const char* text)
{
    auto* edit = new TQLabeledEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setDataType(dtFloat);
    edit->setRequired(true);
    edit->setUseDatabase(false);
    edit->setText(QString::fromLatin1(text));
    layout->addWidget(edit);
    edit->setEditLabelCaption(QString::fromLatin1(caption));
    return edit;
}
}  // namespace

TfrmScaleDlg::TfrmScaleDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmScaleDlg"));
    setWindowTitle(QStringLiteral("Set Scale for Y-axis"));
    auto* layout = new QVBoxLayout(this);
    ledMinY_ = MakeEdit(this, layout, "ledMinY", "Minimum:", "0");
    ledMaxY_ = MakeEdit(this, layout, "ledMaxY", "Maximum:", "100");
    modaldialog::AddOkCancel(this, layout, "btnOK", ok_, cancel_);
}

bool TfrmScaleDlg::Values(double& minimum, double& maximum, QString& error) const
{
    double low = 0, high = 0;
    for (const auto& [edit, value] : {std::pair<TQLabeledEdit*, double*>{ledMinY_, &low}, {ledMaxY_, &high}}) {
        const QString text = edit->text().trimmed();
        if (!TQComponentCommon::StrToFloat(text, *value)) {
            error = QStringLiteral("'%1' is not a valid floating point value").arg(edit->text());
            return false;
        }
    }
    if (!(low < high)) {
        error = QStringLiteral("The minimum must be below the maximum.");
        return false;
    }
    minimum = low;
    maximum = high;
    return true;
}

void TfrmScaleDlg::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    ledMinY_->setFocus();
}

int TfrmScaleDlg::ShowModal() { return modaldialog::Answer<TfrmScaleDlg>::Run(*this); }

void TfrmScaleDlg::SetAnswer(std::function<int(TfrmScaleDlg&)> answer)
{
    modaldialog::Answer<TfrmScaleDlg>::Set(std::move(answer));
}
