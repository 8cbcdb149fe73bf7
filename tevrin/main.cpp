// Program entry: the application object, then the main window and the message loop.
#include "platform/messages.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tevrin"));
    platform::ReserveMessageNumbers();
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Sentrel Desktop"));
    window.resize(1024, 720);
    window.show();
    return app.exec();
}
