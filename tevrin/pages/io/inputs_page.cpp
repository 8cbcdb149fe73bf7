#include "tevrin/pages/io/inputs_page.h"

#include "brannix/qcheckbox.h"
#include "brannix/qlabel.h"
#include "brannix/qradiobutton.h"
#include "tevrin/pages/io/input_panel.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QScrollArea>
#include <QVBoxLayout>

TInputsPage::TInputsPage(QWidget* owner, int pageNumber, int firstInput, const QString& groupCaption, const QString& warning)
    : TPageFrame(owner, pageNumber, 0, 1), warning_(warning)
{
    auto* layout = new QVBoxLayout(this);
    // The four panels scroll within the page, so that they never widen the main window.
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("scrInputs"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* group = new QGroupBox(groupCaption);
    group->setObjectName(QStringLiteral("grpDiscreteInputs"));
    scroll->setWidget(group);
    auto* grid = new QGridLayout(group);
    for (int k = 0; k < 4; ++k) {
        auto* panel = new TInputPanel(firstInput + k, k + 1, group);
        grid->addWidget(panel, k / 2, k % 2);
        panels_.push_back(panel);
        connect(panel, &TInputPanel::EnableClicked, this, &TInputsPage::EnableClicked);
        connect(panel, &TInputPanel::PolarityClicked, this, &TInputsPage::PolarityClicked);
        connect(panel, &TInputPanel::BitClicked, this, &TInputsPage::BitClicked);
    }
    layout->addWidget(scroll);

    lblStream2_ = NewStreamCountLabel();
    layout->addWidget(lblStream2_);
    WatchStreamCount(lblStream2_, StreamCaptionRule::Streams, [this](int streams) {
        for (TInputPanel* panel : panels_) panel->ShowStreams(streams);
    });
}

std::vector<int> TInputsPage::FixedPointsBefore() const
{
    std::vector<int> ids;
    for (const TInputPanel* panel : panels_)
        for (int id : panel->RegisteredPoints()) ids.push_back(id);
    ids.push_back(20);
    return ids;
}

void TInputsPage::EnableClicked(TQCheckBox* box)
{
    // Enable and Alarm are written whenever the page is current.
    if (!IsCurrentPage()) return;
    WriteSinglePoint(box->DbId(), box->isChecked() ? "True" : "False");
}

void TInputsPage::PolarityClicked(TQRadioButton* button, bool on)
{
    if (!CanWrite()) return;
    WriteSinglePoint(button->DbId(), on ? "True" : "False");
}

void TInputsPage::BitClicked(int dbId, int bit, bool set)
{
    if (!CanWrite()) return;
    WriteBit(static_cast<TDbId>(dbId), bit, set);
}
