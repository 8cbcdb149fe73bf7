#include "brannix/qstatusbar.h"

#include <QLabel>
#include <algorithm>

TQStatusBar::TQStatusBar(QWidget* parent) : QStatusBar(parent)
{
    // The bar keeps a little room before its first panel and none after its last (a size grip
    // would stand there): without one the last panel's frame would be cut at the right edge.
    // The same room on the right as on the left.
    setContentsMargins(0, 0, kRightRoom, 0);
}

int TQStatusBar::AddPanel(int width, QWidget* widget)
{
    if (!widget) {
        auto* label = new QLabel(this);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        widget = label;
    }
    panels_.push_back({widget, width});
    // The bar's children follow the panel order, whatever order the panel widgets were made in:
    // the shared status-bar message finds panel 0 as the first child.
    widget->raise();
    if (panels_.size() == 1) {
        // The first panel stretches into whatever the others leave.
        widget->setMinimumWidth(0);
        addWidget(widget, 1);
    } else {
        widget->setFixedWidth(std::max(0, width));
        addWidget(widget);
    }
    FitFirstPanel();
    return PanelCount() - 1;
}

QWidget* TQStatusBar::Panel(int index) const
{
    return index >= 0 && index < PanelCount() ? panels_[static_cast<size_t>(index)].widget : nullptr;
}

QString TQStatusBar::PanelText(int index) const
{
    auto* label = qobject_cast<QLabel*>(Panel(index));
    return label ? label->text() : QString();
}

void TQStatusBar::SetPanelText(int index, const QString& text)
{
    if (auto* label = qobject_cast<QLabel*>(Panel(index))) label->setText(text);
}

int TQStatusBar::PanelWidth(int index) const
{
    return index >= 0 && index < PanelCount() ? panels_[static_cast<size_t>(index)].width : 0;
}

void TQStatusBar::SetPanelWidth(int index, int width)
{
    if (index < 0 || index >= PanelCount()) return;
    if (index == 0) return;   // panel 0 always takes the rest
    panels_[static_cast<size_t>(index)].width = width;
    panels_[static_cast<size_t>(index)].widget->setFixedWidth(std::max(0, width));
    FitFirstPanel();
}

void TQStatusBar::FitFirstPanel()
{
    if (panels_.empty()) return;
    int others = 0;
    for (size_t i = 1; i < panels_.size(); ++i) others += panels_[i].width;
    // May come out 0 or negative on a narrow bar; the panel is then simply not seen.
    panels_[0].width = width() - others;
}

void TQStatusBar::resizeEvent(QResizeEvent* event)
{
    FitFirstPanel();
    QStatusBar::resizeEvent(event);
}
