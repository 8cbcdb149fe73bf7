#pragma once
// A dial-up network connection, brought up and down through the system's network manager.
// Tests put a dialer of their own in its place.
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace pollard {

class Dialer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Starts bringing the connection up; 0 when it started (an event follows), else an error
    // code at once.
    virtual int Dial(const QString& entry) = 0;
    virtual void HangUp() = 0;
    virtual QString ErrorText(int code) const = 0;
    // The connections that can be dialled.
    virtual QStringList Entries() = 0;

    static constexpr int kLineDisconnected = 619;   // no box for this one

signals:
    void Connected();
    void DialError(int code);
    void Disconnected();
};

// The network manager's command line ("nmcli").
class NmcliDialer : public Dialer {
    Q_OBJECT
public:
    explicit NmcliDialer(QObject* parent = nullptr);
    ~NmcliDialer() override;

    int Dial(const QString& entry) override;
    void HangUp() override;
    QString ErrorText(int code) const override;
    QStringList Entries() override;

    static constexpr int kNotStarted = 100;   // the command could not be run at all

private:
    QProcess process_;
    QString entry_;
};

}  // namespace pollard
