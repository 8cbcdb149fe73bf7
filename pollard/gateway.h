#pragma once
// A gateway in front of analyzers on TCP: asked for its list of connections
// ("CCICommand,CRC"), it answers "CCIC" and the names, each followed by ","; told which one
// to use ("CCIS" and the name), it may answer "CCIA" and the node address to use. Plain
// ASCII, no frame, no terminator.
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

namespace pollard {

class Engine;

// The node address of an address answer (the bytes after "CCIA"): 1 to 255, or -1 when
// the text is not such a number.
int GatewayNodeAddress(const QByteArray& text);

// Reads gateway answers from the bytes as they arrive, in chunks of any size: a list whose
// names come in several chunks is read whole.
class GatewayAnswerReader {
public:
    // Takes the next chunk. Names completed by it are appended to `names`; an address
    // answer completed or extended by it sets `address` (1 to 255; -1 while not valid).
    void Feed(const QByteArray& chunk, QStringList& names, int& address);
    void Reset();

private:
    enum class Mode { None, List, Address };
    Mode mode_ = Mode::None;
    QByteArray head_;     // the start of an answer, until its prefix is complete
    QString name_;        // a name not yet ended by ","
    QByteArray number_;   // the digits of an address answer so far
};

// The gateway dialogue of the setup window, on the engine's TCP port.
class Gateway : public QObject {
    Q_OBJECT
public:
    explicit Gateway(Engine& engine, QObject* parent = nullptr);
    ~Gateway() override;

    static const QByteArray kListRequest;   // "CCICommand,CRC"

    // Connects to the endpoint (the link counts as offline) and asks for the list of
    // connections; the list starts empty. False when an exchange is running, or the
    // connection or the write failed.
    bool Detect(const QString& address, const QString& port);
    // Connects again and selects the named connection. False as for Detect.
    bool Select(const QString& name);
    // Stops reading the port (the engine's exchange then owns it).
    void Stop();

signals:
    void ConnectionsChanged();
    void NodeAddressChanged(const QString& address);

private:
    bool Reconnect();
    void OnData();

    Engine& engine_;
    GatewayAnswerReader reader_;
    QMetaObject::Connection listening_;
};

}  // namespace pollard
