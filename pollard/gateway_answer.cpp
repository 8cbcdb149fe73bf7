// Answers of a TCP gateway in front of the analyzer: its list of connections ("C" then
// names each followed by ",") or the node address to use ("A" then a number 1 to 255;
// anything else is ignored).
#include "pollard/engine.h"
#include "pollard/gateway.h"

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
        const int address = GatewayNodeAddress(bytes.mid(1));
        if (address > 0) {
            settings_.modbusNodeAddress = QString::number(address);
            settingsChanged_ = true;
            emit IndicatorsChanged();
        }
    }
}

}  // namespace pollard
