// Answers of a TCP gateway in front of the analyzer: its list of connections ("C" then
// names each followed by ",") or the node address to use ("A" then a number).
#include "pollard/engine.h"

namespace pollard {

void Engine::OnGatewayAnswer(const QByteArray& bytes)
{
    if (bytes.isEmpty()) return;
    if (bytes[0] == 'C') {
        QString name;
        for (int i = 1; i < bytes.size(); ++i) {
            if (bytes[i] == ',') {
                gatewayConnections.append(name);
                name.clear();
            } else {
                name += QLatin1Char(bytes[i]);
            }
        }
        emit IndicatorsChanged();
    } else if (bytes[0] == 'A') {
        bool ok = false;
        const QString text = QString::fromLatin1(bytes.mid(1));
        const int address = text.trimmed().toInt(&ok);
        if (ok && address != -1) settings_.modbusNodeAddress = text;
    }
}

}  // namespace pollard
