#pragma once
// Qt's key events in the host's key codes and shift masks, so that a key pressed in a
// widget reaches the add-in's KeyDown and KeyUp handlers as the headless toolkit's
// typing delivers it.

#include <Qt>

class QKeyEvent;
class QString;

namespace vorra::desktop {

struct HostKey {
    int code = 0;  // 0: a key the host has no code for
    int shift = 0;
};

int hostShift(Qt::KeyboardModifiers modifiers);
// The host's code of a mouse button: right and middle as such, any other the left.
int hostButton(Qt::MouseButton button);
// The host's code for a Qt key with the text it types (letters their capital, digits
// themselves, punctuation its own key, characters beyond ASCII the input method's).
HostKey hostKey(int qtKey, Qt::KeyboardModifiers modifiers, const QString& text);
HostKey hostKey(const QKeyEvent& event);

}  // namespace vorra::desktop
