#include "tevrin/pages/analysis/fra_ww.h"

#include "brannix/qlabel.h"
#include "platform/numtext.h"
#include "tevrin/pages/analysis/display_places.h"

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
    WatchStreamCount(streamNo_, StreamCaptionRule::Streams, [this](int n) { streamCount_ = n; });
}

void TfraWW::EnterPage()
{
    TPageFrame::EnterPage();
    displayFormat_ = DisplayFormatFor(ReadDisplayPlaces());
}
