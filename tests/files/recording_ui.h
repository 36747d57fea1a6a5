#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "play/game_events.h"

namespace peterin {

// Keeps what the core asked of the interface that the file tests look at; ignores the rest.
class RecordingUi : public NullGameEvents {
  public:
    std::vector<Message> messages;
    int relayouts = 0;

    void tell(const Message& message) override { messages.push_back(message); }
    void sizesChanged() override { ++relayouts; }
};

} // namespace peterin
