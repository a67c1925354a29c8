#include "platform/desktop/toolkit/KeyCodes.h"

#include <QKeyEvent>
#include <QString>

#include "addin/frame/dialogs/Keys.h"

namespace vorra::desktop {

using namespace vorra::dialogs;

int hostShift(Qt::KeyboardModifiers modifiers) {
    int s = shift::kNone;
    if (modifiers & Qt::ShiftModifier) s |= shift::kShift;
    if (modifiers & Qt::ControlModifier) s |= shift::kCtrl;
    if (modifiers & Qt::AltModifier) s |= shift::kAlt;
    return s;
}

int hostButton(Qt::MouseButton button) {
    if (button == Qt::RightButton) return mouse::kRight;
    if (button == Qt::MiddleButton) return mouse::kMiddle;
    return mouse::kLeft;
}

HostKey hostKey(int qtKey, Qt::KeyboardModifiers modifiers, const QString& text) {
    const int s = hostShift(modifiers);
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return {qtKey - Qt::Key_A + 'A', s};
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return {qtKey - Qt::Key_0 + '0', s};
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) return {qtKey - Qt::Key_F1 + 112, s};
    switch (qtKey) {
        case Qt::Key_Return:
        case Qt::Key_Enter: return {key::kReturn, s};
        case Qt::Key_Backspace: return {key::kBack, s};
        case Qt::Key_Tab:
        case Qt::Key_Backtab: return {key::kTab, s};
        case Qt::Key_Escape: return {key::kEscape, s};
        case Qt::Key_Space: return {key::kSpace, s};
        case Qt::Key_PageUp: return {33, s};
        case Qt::Key_PageDown: return {34, s};
        case Qt::Key_End: return {key::kEnd, s};
        case Qt::Key_Home: return {key::kHome, s};
        case Qt::Key_Left: return {key::kLeft, s};
        case Qt::Key_Up: return {key::kUp, s};
        case Qt::Key_Right: return {key::kRight, s};
        case Qt::Key_Down: return {key::kDown, s};
        case Qt::Key_Insert: return {45, s};
        case Qt::Key_Delete: return {key::kDelete, s};
        case Qt::Key_Shift: return {key::kShift, s};
        case Qt::Key_Control: return {17, s};
        case Qt::Key_Alt: return {18, s};
        default: break;
    }
    if (!text.isEmpty()) {
        const char32_t c = text.toUcs4().value(0);
        KeyStroke k = keyForCharacter(c);
        if (k.keyCode != 0) return {k.keyCode, s | k.shift};
    }
    return {0, s};
}

HostKey hostKey(const QKeyEvent& event) {
    return hostKey(event.key(), event.modifiers(), event.text());
}

}  // namespace vorra::desktop
