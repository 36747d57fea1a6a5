#include "key_box.h"

#include "key_translation.h"
#include "settings/key_names.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <qdrawutil.h>

namespace peterin {

namespace {

// The width of the sunken edge around the box's face.
constexpr int kEdge = 2;

} // namespace

KeyBox::KeyBox(QWidget* parent) : QWidget(parent) {
    // The focus comes from a left click only (mousePressEvent); Tab is a key to capture, never a
    // way in or out, and Qt's click focus would answer the right and middle buttons too.
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::CrossCursor);
    // The name is drawn in the program's ordinary font, not the dialog's label font.
    setFont(QApplication::font());
}

void KeyBox::setCode(std::uint8_t code) {
    code_ = code;
    update();
    emit codeChanged();
}

void KeyBox::setMarked(bool marked) {
    marked_ = marked;
    update();
}

bool KeyBox::event(QEvent* event) {
    // Taken before QWidget sees it, so Tab and Backtab do not move the focus; Enter and Esc are
    // accepted here and never reach the dialog's buttons.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const std::uint8_t code = translateKey(*key);
        // System keys (Alt, F10, anything with Alt) and unknown keys leave the value alone and
        // go on to the window as usual.
        if (code == 0)
            return QWidget::event(event);
        setCode(code);
        event->accept();
        return true;
    }
    // Shortcuts must not steal a key the box is about to capture.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!key->modifiers().testFlag(Qt::AltModifier)) {
            event->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

void KeyBox::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
}

void KeyBox::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}

void KeyBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        setFocus(Qt::MouseFocusReason);
    QWidget::mousePressEvent(event);
}

void KeyBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    qDrawShadePanel(&painter, rect(), palette(), true, kEdge);
    const QRect face = rect().adjusted(kEdge, kEdge, -kEdge, -kEdge);
    painter.fillRect(face, hasFocus() ? QColor(255, 255, 0) : QColor(Qt::white));

    // Black (red when marked) on an opaque white band, centred across the top of the face.
    painter.setPen(marked_ ? QColor(Qt::red) : QColor(Qt::black));
    painter.setBackground(Qt::white);
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.drawText(face, Qt::AlignHCenter | Qt::AlignTop, QString::fromUtf8(KeyName(code_)));
}

} // namespace peterin
