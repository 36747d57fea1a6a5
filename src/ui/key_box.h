#pragma once

#include <QWidget>

#include <cstdint>

namespace peterin {

// A box that edits one key setting: clicked, it takes the focus, and the next key pressed while
// it has the focus becomes its value, whatever the key, Tab, Enter and Esc included, so those
// never move the focus, press a button or close the dialog around it. It shows the key's name,
// on yellow while it has the focus.
class KeyBox : public QWidget {
    Q_OBJECT

  public:
    explicit KeyBox(QWidget* parent = nullptr);

    // The virtual-key code shown; 0 means no key.
    std::uint8_t code() const { return code_; }
    void setCode(std::uint8_t code);
    // A marked box shows its key in red: another action holds the same key.
    void setMarked(bool marked);
    bool marked() const { return marked_; }

  signals:
    void codeChanged();

  protected:
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    // A fresh box reads as the digit key 0 until the dialog gives it its value.
    std::uint8_t code_ = 0x30;
    bool marked_ = false;
};

} // namespace peterin
