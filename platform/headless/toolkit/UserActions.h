#pragma once
// A user's actions on the forms, raising the events such an action raises (the rules
// are listed in addin/frame/dialogs/Controls.h):
//   type     per character: KeyDown, the edit and Change, KeyUp (type-ahead completion
//            in a combo box whose completion is on);
//   press    KeyDown, the edit the key makes (Backspace, Delete), KeyUp; arrow keys
//            move a list view's selection;
//   clear    the whole text of a text box or combo box selected and deleted: KeyDown
//            of Delete, the edit and Change (when there was a text), KeyUp; nothing is
//            deleted when KeyDown swallows the key or the text box is locked;
//   click    a button, check box, option button, label or image: its Click; the first
//            three take the focus before it;
//   pick     a list row of a combo box, list box or list view: Change, Click;
//   close    the window's close box: QueryClose, then the form unloads;
//   drop     files dropped on a form or a list box that accepts them.
// A user can only act on a form that is shown and on a control that is visible and
// enabled; anything else is refused with an ActionError that says why. An action
// stops early when its form unloads during one of its events.

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "addin/frame/dialogs/Dialogs.h"

namespace vorra::headless {

class ActionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Key names as scripts write them ("Enter", "Right", "Backspace"), or a number.
// Throws ActionError for an unknown name.
int keyCodeByName(std::string_view name);

class UserActions {
public:
    // Longest text one type action may enter, so that a script cannot run away.
    static constexpr size_t kMaxTypedBytes = 4096;

    void type(dialogs::Form& form, std::string_view control, std::string_view text);
    void press(dialogs::Form& form, std::string_view control, int keyCode, int shift = 0);
    void clear(dialogs::Form& form, std::string_view control);
    void click(dialogs::Form& form, std::string_view control);
    // The first row whose (first column) text equals the item.
    void pick(dialogs::Form& form, std::string_view control, std::string_view item);
    // The row by position, from 0.
    void pickIndex(dialogs::Form& form, std::string_view control, int index);
    void close(dialogs::Form& form);
    // Drops files on the form's body (control empty) or on a list box.
    void drop(dialogs::Form& form, std::string_view control, const std::vector<std::string>& files);
    // A press of the mouse on the form's body (what starts a drag by the body).
    void mouseDown(dialogs::Form& form, int button = dialogs::mouse::kLeft, double x = 0, double y = 0);

private:
    dialogs::Control& reach(dialogs::Form& form, std::string_view control);
    void typeInto(dialogs::TextBox& box, std::string_view text);
    void typeInto(dialogs::ComboBox& box, std::string_view text);
};

}  // namespace vorra::headless
