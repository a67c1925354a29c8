#include "UserActions.h"

#include <algorithm>
#include <charconv>

#include "Utf8.h"

namespace vorra::headless {

using namespace vorra::dialogs;

namespace {

std::string where(const Form& form, std::string_view control) {
    return std::string(control) + " of " + form.name();
}

void requireShown(const Form& form) {
    if (!form.loaded()) throw ActionError("form " + form.name() + " is not loaded");
    if (!form.visible()) throw ActionError("form " + form.name() + " is not shown");
}

std::string removeSelection(const std::string& text, int start, int length) {
    auto s = static_cast<size_t>(std::clamp(start, 0, static_cast<int>(text.size())));
    auto n = static_cast<size_t>(std::max(length, 0));
    return text.substr(0, s) + (s + n < text.size() ? text.substr(s + n) : std::string());
}

// The characters of a text a script types; malformed UTF-8 is refused.
std::vector<Utf8Char> charactersToType(std::string_view text) {
    try {
        return splitUtf8(text);
    } catch (const std::invalid_argument& e) {
        throw ActionError(std::string("text to type: ") + e.what());
    }
}

}  // namespace

int keyCodeByName(std::string_view name) {
    struct Named {
        std::string_view name;
        int code;
    };
    static constexpr Named kNames[] = {
        {"enter", key::kReturn}, {"return", key::kReturn}, {"right", key::kRight},
        {"left", key::kLeft},    {"up", key::kUp},         {"down", key::kDown},
        {"backspace", key::kBack}, {"delete", key::kDelete}, {"tab", key::kTab},
        {"escape", key::kEscape}, {"esc", key::kEscape},   {"home", key::kHome},
        {"end", key::kEnd},      {"space", key::kSpace},
    };
    for (const auto& n : kNames)
        if (sameName(n.name, name)) return n.code;
    int code = 0;
    auto [end, ec] = std::from_chars(name.data(), name.data() + name.size(), code);
    if (ec == std::errc() && end == name.data() + name.size() && code > 0 && code < 256) return code;
    throw ActionError("unknown key '" + std::string(name) +
                      "' (Enter, Right, Left, Up, Down, Backspace, Delete, Tab, Escape, Home, End, "
                      "Space or a key code 1 to 255)");
}

Control& UserActions::reach(Form& form, std::string_view control) {
    requireShown(form);
    Control* c = form.control(control);
    if (!c) throw ActionError("no control " + std::string(control) + " on form " + form.name());
    if (!c->visible()) throw ActionError(where(form, control) + " is hidden");
    if (!c->reachable()) throw ActionError(where(form, control) + " is disabled or inside a hidden frame");
    return *c;
}

// ---- Typing --------------------------------------------------------------------------------

void UserActions::type(Form& form, std::string_view control, std::string_view text) {
    if (text.size() > kMaxTypedBytes)
        throw ActionError("text to type is longer than " + std::to_string(kMaxTypedBytes) + " bytes");
    Control& c = reach(form, control);
    auto keepAlive = form.weak_from_this().lock();
    visitControl(c, Overloaded{
        [&](TextBox& box) { typeInto(box, text); },
        [&](ComboBox& box) { typeInto(box, text); },
        [&](Control& other) {
            throw ActionError("cannot type into " + where(form, control) + ", a " + kindName(other.kind()));
        },
    });
}

void UserActions::typeInto(TextBox& box, std::string_view text) {
    const std::vector<Utf8Char> chars = charactersToType(text);
    Form& form = box.form();
    box.setFocus();
    for (const auto& ch : chars) {
        KeyStroke k = keyForCharacter(ch.code);
        box.userKeyDown(k.keyCode, k.shift);
        if (!form.loaded()) return;
        bool lineBreak = ch.code == U'\n' || ch.code == U'\r';
        if (!box.locked() && (!lineBreak || box.multiLine())) box.userEdit(box.text() + ch.bytes);
        if (!form.loaded()) return;
        box.userKeyUp(k.keyCode, k.shift);
        if (!form.loaded()) return;
    }
}

// Each character goes in as typed, completed by the box's type-ahead rule; the completed
// tail is selected so that the next character replaces it.
void UserActions::typeInto(ComboBox& box, std::string_view text) {
    const std::vector<Utf8Char> chars = charactersToType(text);
    Form& form = box.form();
    box.setFocus();
    for (const auto& ch : chars) {
        KeyStroke k = keyForCharacter(ch.code);
        box.userKeyDown(k.keyCode, k.shift);
        if (!form.loaded()) return;
        if (ch.code != U'\n' && ch.code != U'\r') {
            std::string typed = removeSelection(box.text(), box.selStart(), box.selLength()) + ch.bytes;
            const std::string* completion = box.completionFor(typed);
            if (completion) {
                std::string full = *completion;
                int start = static_cast<int>(typed.size());
                box.userEdit(full, start, static_cast<int>(full.size()) - start);
            } else {
                box.userEdit(typed, static_cast<int>(typed.size()), 0);
            }
            if (!form.loaded()) return;
        }
        box.userKeyUp(k.keyCode, k.shift);
        if (!form.loaded()) return;
    }
}

// ---- Keys ------------------------------------------------------------------------------------

void UserActions::press(Form& form, std::string_view control, int keyCode, int shiftState) {
    Control& c = reach(form, control);
    auto keepAlive = form.weak_from_this().lock();
    c.setFocus();
    visitControl(c, Overloaded{
        [&](TextBox& box) {
            box.userKeyDown(keyCode, shiftState);
            if (!form.loaded()) return;
            if (keyCode == key::kBack && !box.locked()) box.userEdit(dropLastCharacter(box.text()));
            if (!form.loaded()) return;
            box.userKeyUp(keyCode, shiftState);
        },
        [&](ComboBox& box) {
            box.userKeyDown(keyCode, shiftState);
            if (!form.loaded()) return;
            if (keyCode == key::kBack || keyCode == key::kDelete) {
                std::string text = box.selLength() > 0
                                       ? removeSelection(box.text(), box.selStart(), box.selLength())
                                       : keyCode == key::kBack ? dropLastCharacter(box.text()) : box.text();
                box.userEdit(text, static_cast<int>(text.size()), 0);
            } else if (keyCode == key::kLeft || keyCode == key::kRight || keyCode == key::kHome ||
                       keyCode == key::kEnd) {
                box.userCollapseSelection();
            } else if ((keyCode == key::kDown || keyCode == key::kUp) && box.listCount() > 0) {
                // The arrows step through the list as picking the next row does.
                int next = box.listIndex() + (keyCode == key::kDown ? 1 : -1);
                if (box.listIndex() < 0) next = 0;
                if (next >= 0 && next < box.listCount()) box.userPick(next);
            }
            if (!form.loaded()) return;
            box.userKeyUp(keyCode, shiftState);
        },
        [&](ListView& list) {
            list.userKeyDown(keyCode, shiftState);
            if (!form.loaded()) return;
            if ((keyCode == key::kDown || keyCode == key::kUp) && list.itemCount() > 0) {
                int next = list.selectedIndex() + (keyCode == key::kDown ? 1 : -1);
                list.setSelectedIndex(std::clamp(next, 0, list.itemCount() - 1));
            }
            list.userKeyUp(keyCode, shiftState);
        },
        [&](Control& other) {
            throw ActionError("cannot press keys in " + where(form, control) + ", a " + kindName(other.kind()));
        },
    });
}

// Selecting all with the mouse raises nothing; the Delete key then raises its key
// events around the edit.
void UserActions::clear(Form& form, std::string_view control) {
    Control& c = reach(form, control);
    auto keepAlive = form.weak_from_this().lock();
    c.setFocus();
    visitControl(c, Overloaded{
        [&](TextBox& box) {
            int code = box.userKeyDown(key::kDelete, shift::kNone);
            if (!form.loaded()) return;
            if (code != 0 && !box.locked()) box.userEdit(std::string());
            if (!form.loaded()) return;
            box.userKeyUp(key::kDelete, shift::kNone);
        },
        [&](ComboBox& box) {
            box.userEdit(box.text(), 0, static_cast<int>(box.text().size()));
            int code = box.userKeyDown(key::kDelete, shift::kNone);
            if (!form.loaded()) return;
            if (code != 0) box.userEdit(std::string(), 0, 0);
            if (!form.loaded()) return;
            box.userKeyUp(key::kDelete, shift::kNone);
        },
        [&](Control& other) {
            throw ActionError("cannot clear " + where(form, control) + ", a " + kindName(other.kind()));
        },
    });
}

// ---- Clicks and picks -------------------------------------------------------------------------

void UserActions::click(Form& form, std::string_view control) {
    Control& c = reach(form, control);
    auto keepAlive = form.weak_from_this().lock();
    auto clickable = [](auto& button) { button.userClick(); };
    // Buttons, check boxes and option buttons take the focus when clicked, before their
    // Click runs; labels and images do not.
    auto focusing = [](auto& button) {
        button.setFocus();
        button.userClick();
    };
    auto listOf = [&](Control& list) {
        throw ActionError("cannot click " + where(form, control) + ", a " + kindName(list.kind()) +
                          ": pick one of its rows");
    };
    visitControl(c, Overloaded{
        [&](CommandButton& b) { focusing(b); },
        [&](CheckBox& b) { focusing(b); },
        [&](OptionButton& b) { focusing(b); },
        [&](Label& b) { clickable(b); },
        [&](Image& b) { clickable(b); },
        [&](ComboBox& list) { listOf(list); },
        [&](ListBox& list) { listOf(list); },
        [&](ListView& list) { listOf(list); },
        [&](Control& other) {
            throw ActionError("cannot click " + where(form, control) + ", a " + kindName(other.kind()));
        },
    });
}

namespace {

// The (first column) texts of a list's rows, for the kinds that have rows.
std::vector<std::string> rowTexts(const Form& form, std::string_view control, const Control& c) {
    return visitControl(c, Overloaded{
        [](const ComboBox& box) {
            std::vector<std::string> texts;
            for (int i = 0; i < box.listCount(); ++i) texts.push_back(box.item(i));
            return texts;
        },
        [](const ListBox& box) { return box.items(); },
        [](const ListView& list) {
            std::vector<std::string> texts;
            for (const ListRow& row : list.items()) texts.push_back(row.text);
            return texts;
        },
        [&](const Control& other) -> std::vector<std::string> {
            throw ActionError("cannot pick from " + where(form, control) + ", a " + kindName(other.kind()));
        },
    });
}

}  // namespace

void UserActions::pick(Form& form, std::string_view control, std::string_view item) {
    Control& c = reach(form, control);
    const std::vector<std::string> texts = rowTexts(form, control, c);
    auto found = std::find(texts.begin(), texts.end(), item);
    if (found == texts.end())
        throw ActionError(where(form, control) + " has no row " + std::string("\"") + std::string(item) +
                          "\" (" + std::to_string(texts.size()) + " rows)");
    pickIndex(form, control, static_cast<int>(found - texts.begin()));
}

void UserActions::pickIndex(Form& form, std::string_view control, int index) {
    Control& c = reach(form, control);
    auto keepAlive = form.weak_from_this().lock();
    auto requireRow = [&](int count) {
        if (index < 0 || index >= count)
            throw ActionError(where(form, control) + " has no row " + std::to_string(index + 1) + " (" +
                              std::to_string(count) + " rows)");
    };
    c.setFocus();
    visitControl(c, Overloaded{
        [&](ComboBox& box) {
            requireRow(box.listCount());
            box.userPick(index);
        },
        [&](ListBox& box) {
            requireRow(box.listCount());
            box.userPick(index);
        },
        [&](ListView& list) {
            requireRow(list.itemCount());
            list.userClickItem(index);
        },
        [&](Control& other) {
            throw ActionError("cannot pick from " + where(form, control) + ", a " + kindName(other.kind()));
        },
    });
}

// ---- Window actions ------------------------------------------------------------------------------

void UserActions::close(Form& form) {
    requireShown(form);
    auto keepAlive = form.weak_from_this().lock();
    form.unload(CloseMode::ControlMenu);
}

void UserActions::drop(Form& form, std::string_view control, const std::vector<std::string>& files) {
    auto keepAlive = form.weak_from_this().lock();
    if (control.empty()) {
        requireShown(form);
        if (!form.acceptsDrops()) throw ActionError("form " + form.name() + " does not accept dropped files");
        form.raise(form.onDragDrop, files);
        return;
    }
    visitControl(reach(form, control), Overloaded{
        [&](ListBox& box) {
            if (!box.acceptsDrops()) throw ActionError(where(form, control) + " does not accept dropped files");
            box.userDrop(files);
        },
        [&](Control& other) {
            throw ActionError("cannot drop files on " + where(form, control) + ", a " + kindName(other.kind()));
        },
    });
}

void UserActions::mouseDown(Form& form, int button, double x, double y) {
    requireShown(form);
    auto keepAlive = form.weak_from_this().lock();
    form.raise(form.onMouseDown, button, shift::kNone, x, y);
}

}  // namespace vorra::headless
