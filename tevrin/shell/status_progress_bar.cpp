#include "tevrin/shell/status_progress_bar.h"

#include <QPainter>

#include <algorithm>

StatusProgressBar::StatusProgressBar(QWidget* parent) : QProgressBar(parent) {}

const QStaticText& StatusProgressBar::Laid(const QString& text)
{
    auto it = texts_.find(text);
    if (it == texts_.end()) {
        // The texts are the percentages 0% to 100% (and the busy bar's empty text).
        if (texts_.size() > 128) texts_.clear();
        QStaticText laid(text);
        laid.setTextFormat(Qt::PlainText);
        laid.prepare(QTransform(), font());
        it = texts_.emplace(text, laid).first;
    }
    return it->second;
}

void StatusProgressBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect area = rect();
    const QPalette& colours = palette();
    painter.fillRect(area, colours.base());
    const qint64 span = static_cast<qint64>(maximum()) - minimum();
    const qint64 done = static_cast<qint64>(value()) - minimum();
    const int inner = area.width() - 2;
    const int filled = span > 0 && done > 0 ? static_cast<int>(std::min<qint64>(inner, done * inner / span)) : 0;
    const QRect bar(area.left() + 1, area.top() + 1, filled, area.height() - 2);
    if (filled > 0) painter.fillRect(bar, colours.highlight());
    painter.setPen(colours.color(QPalette::Mid));
    painter.drawRect(area.adjusted(0, 0, -1, -1));
    if (!isTextVisible()) return;
    const QString shown = text();
    if (shown.isEmpty()) return;
    const QStaticText& laid = Laid(shown);
    const QSizeF size = laid.size();
    const QPointF at(area.left() + (area.width() - size.width()) / 2.0, area.top() + (area.height() - size.height()) / 2.0);
    // The text reads over the filled part in the highlight's own text colour.
    painter.setPen(colours.color(QPalette::Text));
    painter.drawStaticText(at, laid);
    if (filled > 0) {
        painter.setClipRect(bar);
        painter.setPen(colours.color(QPalette::HighlightedText));
        painter.drawStaticText(at, laid);
    }
}
