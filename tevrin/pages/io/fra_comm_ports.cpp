#include "tevrin/pages/io/fra_comm_ports.h"

TfraCommPorts::TfraCommPorts(QWidget* owner) : TPageFrame(owner, 6, 0, 1) { setObjectName(QStringLiteral("fraCommPorts")); }

std::vector<int> TfraCommPorts::FixedPointsBefore() const
{
    // Ports 1, 3 and 4 (port 2 is not registered), then the stream count.
    std::vector<int> ids;
    AddRange(ids, 306, 310);
    AddRange(ids, 316, 320);
    AddRange(ids, 321, 325);
    ids.push_back(20);
    return ids;
}
