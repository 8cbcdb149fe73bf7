// Program entry: the application object, the splash window, the main window and the message
// loop; after the loop, a new copy of the program when a restart was asked for.
#include "platform/messages.h"
#include "platform/prompter.h"
#include "tevrin/shell/about_form.h"
#include "tevrin/shell/app_flags.h"
#include "tevrin/shell/main_form.h"
#include "tevrin/shell/splash.h"

#include <QApplication>
#include <QProcess>

#include <exception>
#include <memory>

namespace {

// The application object shows what escapes an event handler instead of letting it end the
// program.
class TApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            ShowException(QString::fromLocal8Bit(e.what()));
        } catch (int code) {
            ShowException(QStringLiteral("Error %1.").arg(code));
        } catch (...) {
            ShowException(QStringLiteral("Unexpected error."));
        }
        return false;
    }

    static void ShowException(const QString& text)
    {
        platform::MessageDlg(text, platform::DlgType::Error, platform::mbOK);
    }
};

}  // namespace

int main(int argc, char* argv[])
{
    TApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tevrin"));
    QApplication::setApplicationVersion(TAboutForm::ProgramVersion());
    platform::ReserveMessageNumbers();
    try {
        auto splash = std::make_unique<TfrmSplash>();
        splash->show();
        QCoreApplication::processEvents();

        TFormMain form;
        splash.reset();
        form.show();
        app.exec();
    } catch (const std::exception& e) {
        TApplication::ShowException(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        TApplication::ShowException(QStringLiteral("Unexpected error."));
    }
    if (AppFlags::RelaunchRequested) QProcess::startDetached(QCoreApplication::applicationFilePath(), {});
    return 0;
}
