#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "play/ui_port.h"

namespace peterin {

// Keeps what the core asked of the interface that the file tests look at; ignores the rest.
class RecordingUi : public NullUiPort {
  public:
    std::vector<Message> messages;
    int relayouts = 0;

    void showMessage(const Message& message) override { messages.push_back(message); }
    void relayout() override { ++relayouts; }
};

} // namespace peterin
