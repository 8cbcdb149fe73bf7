#pragma once
// Where the wire server hands a request message to the simulated analyzer. A message is
// [length][type][payload], where length = 2 + payload bytes; the reply has the same layout
// with type = request type + 1. The wire server adds and removes the frame (address,
// function 0x12, CRC) around it.
#include <QByteArray>
#include <optional>

namespace sim {

class MessageHandler {
public:
    virtual ~MessageHandler() = default;
    // The reply message, or nothing when the analyzer stays silent.
    virtual std::optional<QByteArray> Handle(const QByteArray& request) = 0;
};

}  // namespace sim
