#include "platform/window_fit.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QLayout>
#include <QStyle>
#include <QStyleOptionTitleBar>
#include <QWidget>

#include <algorithm>

namespace platform {

namespace {

class FitWhenShown : public QObject {
public:
    explicit FitWhenShown(QWidget& window) : QObject(&window) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Before the window is put on the screen: a dialog is then placed with its new size.
        if (event->type() == QEvent::Show && !event->spontaneous() && watched == parent())
            FitToContents(*static_cast<QWidget*>(watched));
        return false;
    }
};

}  // namespace

int TitleBarWidth(const QWidget& window)
{
    QStyle* style = window.style();
    QStyleOptionTitleBar option;
    option.initFrom(&window);
    option.text = window.windowTitle();
    option.icon = window.windowIcon();
    option.subControls = QStyle::SC_All;
    option.titleBarState = Qt::WindowNoState;
    option.titleBarFlags = Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                           Qt::WindowCloseButtonHint;
    // What a bar of any width keeps beside its caption, measured on a wide one.
    constexpr int kProbeWidth = 2000;
    option.rect = QRect(0, 0, kProbeWidth, style->pixelMetric(QStyle::PM_TitleBarHeight, &option, &window));
    const QRect caption = style->subControlRect(QStyle::CC_TitleBar, &option, QStyle::SC_TitleBarLabel, &window);
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    const QFontMetrics metrics(font);
    // Many window managers centre the title between the icon and the buttons, so the wider of
    // the two sides is kept on both; a little room besides, as their fonts run a bit larger.
    const int side = std::max(caption.left(), kProbeWidth - 1 - caption.right());
    return 2 * side + metrics.horizontalAdvance(option.text) + 2 * metrics.averageCharWidth();
}

void FitToContents(QWidget& window)
{
    if (QLayout* layout = window.layout()) layout->activate();
    QSize size = window.sizeHint();
    size.setWidth(std::max(size.width(), TitleBarWidth(window)));
    window.resize(size.expandedTo(window.minimumSize()).boundedTo(window.maximumSize()));
}

void FitToContentsWhenShown(QWidget& window) { window.installEventFilter(new FitWhenShown(window)); }

}  // namespace platform
