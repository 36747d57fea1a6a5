#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "play/ui_port.h"

namespace peterin {

// Keeps what the core asked of the interface that the file tests look at; ignores the rest.
class RecordingUi : public UiPort {
  public:
    std::vector<Message> messages;
    int relayouts = 0;

    void startTimer(int) override {}
    void stopTimer(int) override {}
    void repaintField(int) override {}
    void repaintNext(int) override {}
    void repaintWarning(int) override {}
    void repaintMain() override {}
    void setStatusText(int, const std::string&) override {}
    void showMessage(const Message& message) override { messages.push_back(message); }
    void showRandomPosition(std::uint32_t) override {}
    void showTempId(const std::string&) override {}
    void relayout() override { ++relayouts; }
};

} // namespace peterin
