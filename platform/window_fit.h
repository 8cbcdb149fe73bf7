#pragma once
// Small windows sized to what they hold: as tall as their content asks, and wide enough for their
// content and for the title bar to show their title whole.

class QWidget;

namespace platform {

// The width a desktop's title bar needs to show `window`'s title whole: the title in a bold form
// of the title-bar font, and the room the style's title bar keeps for the window's icon and the
// system-menu, minimise, maximise and close buttons a window manager may put beside it.
int TitleBarWidth(const QWidget& window);

// Sizes `window` to its layout's size hint, widened to TitleBarWidth where that is more.
void FitToContents(QWidget& window);

// Fits `window` to its contents each time it is shown, with the title it has then.
void FitToContentsWhenShown(QWidget& window);

}  // namespace platform
