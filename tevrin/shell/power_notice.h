#pragma once
// The machine's suspend, as the login manager announces it on the system bus
// ("PrepareForSleep" of org.freedesktop.login1.Manager). Where there is no system bus or no
// login manager nothing is heard and nothing is said.
#include <QObject>

class PowerNotice : public QObject {
    Q_OBJECT
public:
    explicit PowerNotice(QObject* parent = nullptr);

    // True when the login manager's signal is connected.
    bool Listening() const { return listening_; }

signals:
    // The machine is about to suspend.
    void Suspending();

public slots:
    // The login manager's signal: true before the suspend, false after the resume.
    void PrepareForSleep(bool start);

private:
    bool listening_ = false;
};
