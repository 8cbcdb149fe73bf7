#include "tevrin/pages/analysis/fra_ww.h"

#include "brannix/qlabel.h"
#include "platform/numtext.h"
#include "tevrin/pages/analysis/display_places.h"
#include "tevrin/shell/main_form.h"

#include <QVBoxLayout>

TfraWW::TfraWW(QWidget* owner) : TPageFrame(owner, 0, 0, 0)
{
    setObjectName(QStringLiteral("fraWW"));
    auto* layout = new QVBoxLayout(this);
    streamNo_ = new TQLabel(this);
    streamNo_->setObjectName(QStringLiteral("streamNo"));
    streamNo_->setDbId(20);
    streamNo_->setUseDatabase(true);
    streamNo_->setVisible(false);
    layout->addWidget(streamNo_);
    layout->addStretch(1);
    connect(streamNo_, &TQLabel::OnDBPointValueChanged, this, &TfraWW::StreamNoChanged);
}

void TfraWW::EnterPage()
{
    TPageFrame::EnterPage();
    displayFormat_ = DisplayFormatFor(ReadDisplayPlaces());
}

void TfraWW::StreamNoChanged(const QString& value, bool& DoDefault)
{
    DoDefault = false;
    if (value.isEmpty()) return;
    const int n = static_cast<int>(numtext::AtoL(value.toStdString().c_str()));
    static const char* const kCaptions[] = {"1-STREAM", "2-STREAMS", "3-STREAMS", "4-STREAMS"};
    if (n < 0 || n > 3) return;
    streamCount_ = n;
    if (TFormMain* form = TFormMain::Current()) form->SetStreamDisp(QString::fromLatin1(kCaptions[n]));
}
