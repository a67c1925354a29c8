#pragma once
// The control kinds the forms use, as plain state with the events the host's forms
// library raises. Two sets of entry points:
//   - properties set from code (setText, setValue, setListIndex ...) raise the events
//     the library raises for a change made by code;
//   - user* functions are what a view calls when the user acts (the headless
//     toolkit's user actions, the desktop's widgets); they raise the events a user's
//     action raises.
//
// Event rules, in one place:
//   TextBox   setText: Change when the text differs.
//             userType (one character, the view's keystroke): KeyDown, the edit and
//             Change, KeyUp. Key presses without text: KeyDown, KeyUp.
//   ComboBox  setText / setValue: the list index follows the text (the first list row
//             whose text equals it; -1 for none and for the empty text); Change when the
//             text differs, then Click when the text is a list row. setListIndex: the row's text, Change when
//             it differs, Click.
//             userPick(row): the row's text, Change when it differs, then Click always.
//             Typing: as for TextBox, no Click; with type-ahead on, the text completes
//             to the first list row starting with what was typed (Change once).
//             clear(): empties the list, keeps the text, no event.
//   CheckBox  setValue: Change and Click when the value differs. userClick toggles.
//   OptionButton setValue(true): the others of its group (same container) turn off,
//             each raising Change; then this one raises Change and Click. userClick
//             is setValue(true); Click is raised even when it was on already.
//   CommandButton userClick: Click. (Handlers are public: code calls them directly.)
//   Label, Image  userClick: Click.
//   ListBox   setListIndex: Change and Click when it differs. userPick: Change when it
//             differs, then Click always. userDrop: OLEDragDrop with the paths.
//   ListView  selecting from code raises nothing; userClickItem: ItemClick, Click.
//             The first row added to an empty list without selection becomes the
//             selected row, as the list view does.

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "Form.h"

namespace vorra::dialogs {

class TextBox;
class ComboBox;
class CheckBox;
class OptionButton;
class CommandButton;
class Label;
class Frame;
class Image;
class ListBox;
class ListView;

// One visit per control kind; Control::accept calls the one of the control's kind.
// ControlVisitor visits controls that it may change, ConstControlVisitor only reads
// them. A new kind adds a visit here, and every visitor must then say what it does
// with it. visitControl (below) builds a visitor from a set of lambdas.
template <bool kConst>
class BasicControlVisitor {
public:
    template <class C>
    using Ref = std::conditional_t<kConst, const C&, C&>;

    virtual ~BasicControlVisitor() = default;
    virtual void visit(Ref<TextBox> control) = 0;
    virtual void visit(Ref<ComboBox> control) = 0;
    virtual void visit(Ref<CheckBox> control) = 0;
    virtual void visit(Ref<OptionButton> control) = 0;
    virtual void visit(Ref<CommandButton> control) = 0;
    virtual void visit(Ref<Label> control) = 0;
    virtual void visit(Ref<Frame> control) = 0;
    virtual void visit(Ref<Image> control) = 0;
    virtual void visit(Ref<ListBox> control) = 0;
    virtual void visit(Ref<ListView> control) = 0;
};

// ---- Text box -------------------------------------------------------------------------

class TextBox : public Control {
public:
    static constexpr ControlKind kKind = ControlKind::TextBox;
    void accept(ControlVisitor& visitor) override { visitor.visit(*this); }
    void accept(ConstControlVisitor& visitor) const override { visitor.visit(*this); }
    TextBox(Form& form, std::string name, std::string container = {})
        : Control(form, std::move(name), kKind, std::move(container)) {}

    const std::string& text() const { return text_; }
    const std::string& value() const { return text_; }
    void setText(const std::string& text) {
        if (text == text_) return;
        text_ = text;
        changed();
        raise(onChange);
    }
    void setValue(const std::string& text) { setText(text); }

    bool multiLine() const { return multiLine_; }
    void setMultiLine(bool on) { assign(multiLine_, on); }
    bool locked() const { return locked_; }
    void setLocked(bool on) { assign(locked_, on); }
    // Shown masked with this character when not 0.
    char passwordChar() const { return passwordChar_; }
    void setPasswordChar(char c) { assign(passwordChar_, c); }

    EventHandler onChange;
    KeyHandler onKeyDown;
    KeyHandler onKeyUp;
    EventHandler onDblClick;

    // The user's key press: KeyDown and KeyUp around the edit the key makes (none for
    // keys that edit nothing). Returns the key code after KeyDown's handlers.
    int userKeyDown(int keyCode, int shiftState) {
        raise(onKeyDown, keyCode, shiftState);
        return keyCode;
    }
    void userKeyUp(int keyCode, int shiftState) { raise(onKeyUp, keyCode, shiftState); }
    // The user's edit of the text (typing, deleting, pasting): Change when it differs.
    void userEdit(const std::string& text) { setText(text); }

private:
    std::string text_;
    bool multiLine_ = false;
    bool locked_ = false;
    char passwordChar_ = 0;
};

// ---- Combo box ------------------------------------------------------------------------

// Type-ahead completion of a combo box.
enum class MatchEntry : int { FirstLetter = 0, Complete = 1, None = 2 };

class ComboBox : public Control {
public:
    static constexpr ControlKind kKind = ControlKind::ComboBox;
    void accept(ControlVisitor& visitor) override { visitor.visit(*this); }
    void accept(ConstControlVisitor& visitor) const override { visitor.visit(*this); }
    using Row = std::vector<std::string>;

    ComboBox(Form& form, std::string name, std::string container = {})
        : Control(form, std::move(name), kKind, std::move(container)) {}

    // The box's text; Value is the same text (first column bound and shown).
    const std::string& text() const { return text_; }
    const std::string& value() const { return text_; }
    void setText(const std::string& text) {
        if (text == text_) return;
        text_ = text;
        listIndex_ = indexOf(text_);
        selStart_ = static_cast<int>(text_.size());
        selLength_ = 0;
        changed();
        raise(onChange);
        if (listIndex_ >= 0) raise(onClick);
    }
    void setValue(const std::string& text) { setText(text); }

    // The selected row, -1 for none.
    int listIndex() const { return listIndex_; }
    void setListIndex(int index) {
        if (index < -1 || index >= listCount())
            throw host::HostError(host::error::kInvalidArgument, "ListIndex out of range");
        if (index == listIndex_) return;
        select(index);
        if (index >= 0) raise(onClick);
    }

    // The list: rows of one or more columns; the first column is what the box shows.
    int listCount() const { return static_cast<int>(rows_.size()); }
    int columnCount() const { return columnCount_; }
    void setColumnCount(int n) { assign(columnCount_, std::max(1, n)); }
    const std::vector<Row>& list() const { return rows_; }
    // List(row, column), 0-based; the empty text outside the row's columns.
    std::string item(int row, int column = 0) const {
        if (row < 0 || row >= listCount())
            throw host::HostError(host::error::kInvalidArgument, "List index out of range");
        const Row& r = rows_[static_cast<size_t>(row)];
        return column >= 0 && column < static_cast<int>(r.size()) ? r[static_cast<size_t>(column)]
                                                                  : std::string();
    }
    // List = array: replaces the rows; the selection follows the text. No event.
    void setList(std::vector<Row> rows) {
        rows_ = std::move(rows);
        int widest = 1;
        for (const Row& r : rows_) widest = std::max(widest, static_cast<int>(r.size()));
        columnCount_ = std::max(columnCount_, widest);
        listIndex_ = indexOf(text_);
        changed();
    }
    void setList(const std::vector<std::string>& items) {
        std::vector<Row> rows;
        rows.reserve(items.size());
        for (const auto& s : items) rows.push_back(Row{s});
        setList(std::move(rows));
    }
    // AddItem text [, index]: inserts a row of one column. No event.
    void addItem(std::string text, int index = -1) {
        if (index < -1 || index > listCount())
            throw host::HostError(host::error::kInvalidArgument, "AddItem index out of range");
        auto at = index < 0 ? rows_.end() : rows_.begin() + index;
        rows_.insert(at, Row{std::move(text)});
        listIndex_ = indexOf(text_);
        changed();
    }
    void removeItem(int index) {
        if (index < 0 || index >= listCount())
            throw host::HostError(host::error::kInvalidArgument, "RemoveItem index out of range");
        rows_.erase(rows_.begin() + index);
        listIndex_ = indexOf(text_);
        changed();
    }
    // Clear: empties the list; the text stays. No event.
    void clear() {
        rows_.clear();
        listIndex_ = -1;
        changed();
    }

    MatchEntry matchEntry() const { return matchEntry_; }
    void setMatchEntry(MatchEntry m) { assign(matchEntry_, m); }
    bool dropDownOpen() const { return dropped_; }
    // DropDown: opens the list.
    void dropDown() { assign(dropped_, true); }

    // Selected part of the text (type-ahead completion selects what it added).
    int selStart() const { return selStart_; }
    int selLength() const { return selLength_; }

    // With type-ahead completion on, what the user typed so far completes to the first
    // row whose first column starts with it (ASCII letters without regard to case,
    // everything else exactly); nullptr when completion is off, nothing was typed or no
    // row matches. First-letter matching is treated as no completion: none of the
    // system's boxes uses it.
    const std::string* completionFor(std::string_view typed) const {
        if (matchEntry_ != MatchEntry::Complete || typed.empty()) return nullptr;
        for (const Row& row : rows_)
            if (!row.empty() && row[0].size() >= typed.size() &&
                sameName(std::string_view(row[0]).substr(0, typed.size()), typed))
                return &row[0];
        return nullptr;
    }

    EventHandler onChange;
    EventHandler onClick;
    KeyHandler onKeyDown;
    KeyHandler onKeyUp;
    EventHandler onDblClick;

    // ---- User actions. --------------------------------------------------------------
    int userKeyDown(int keyCode, int shiftState) {
        raise(onKeyDown, keyCode, shiftState);
        return keyCode;
    }
    void userKeyUp(int keyCode, int shiftState) { raise(onKeyUp, keyCode, shiftState); }
    // The user's edit of the text: Change when it differs; no Click. The selection
    // marks the part that type-ahead added (or nothing).
    void userEdit(std::string text, int selStart, int selLength) {
        bool differs = text != text_;
        text_ = std::move(text);
        listIndex_ = indexOf(text_);
        selStart_ = selStart;
        selLength_ = selLength;
        changed();
        if (differs) raise(onChange);
    }
    // The user picks a row of the open list: Change when the text differs, then Click.
    void userPick(int index) {
        if (index < 0 || index >= listCount())
            throw host::HostError(host::error::kInvalidArgument, "List index out of range");
        dropped_ = false;
        select(index);
        raise(onClick);
    }
    // Collapses the selection to the end (a caret movement).
    void userCollapseSelection() {
        selStart_ = static_cast<int>(text_.size());
        selLength_ = 0;
    }

private:
    // The first row showing the text; the empty text selects no row.
    int indexOf(const std::string& text) const {
        if (text.empty()) return -1;
        for (size_t i = 0; i < rows_.size(); ++i)
            if (!rows_[i].empty() && rows_[i][0] == text) return static_cast<int>(i);
        return -1;
    }
    // Selects a row (or none) and takes its text; Change when the text differs.
    void select(int index) {
        listIndex_ = index;
        std::string text = index >= 0 ? item(index) : text_;
        bool differs = text != text_;
        text_ = std::move(text);
        selStart_ = static_cast<int>(text_.size());
        selLength_ = 0;
        changed();
        if (differs) raise(onChange);
    }

    std::string text_;
    std::vector<Row> rows_;
    int columnCount_ = 1;
    int listIndex_ = -1;
    MatchEntry matchEntry_ = MatchEntry::Complete;
    bool dropped_ = false;
    int selStart_ = 0;
    int selLength_ = 0;
};

// ---- Check box and option button ----------------------------------------------------------

class CheckBox : public Control {
public:
    static constexpr ControlKind kKind = ControlKind::CheckBox;
    void accept(ControlVisitor& visitor) override { visitor.visit(*this); }
    void accept(ConstControlVisitor& visitor) const override { visitor.visit(*this); }
    CheckBox(Form& form, std::string name, std::string container = {})
        : Control(form, std::move(name), kKind, std::move(container)) {}

    const std::string& caption() const { return caption_; }
    void setCaption(std::string c) { assign(caption_, std::move(c)); }
    bool value() const { return value_; }
    void setValue(bool v) {
        if (v == value_) return;
        value_ = v;
        changed();
        raise(onChange);
        raise(onClick);
    }

    EventHandler onChange;
    EventHandler onClick;

    void userClick() { setValue(!value_); }

private:
    std::string caption_;
    bool value_ = false;
};

class OptionButton : public Control {
public:
    static constexpr ControlKind kKind = ControlKind::OptionButton;
    void accept(ControlVisitor& visitor) override { visitor.visit(*this); }
    void accept(ConstControlVisitor& visitor) const override { visitor.visit(*this); }
    OptionButton(Form& form, std::string name, std::string container = {})
        : Control(form, std::move(name), kKind, std::move(container)) {}

    const std::string& caption() const { return caption_; }
    void setCaption(std::string c) { assign(caption_, std::move(c)); }
    // Buttons of one group exclude each other; the group is the container unless a
    // group name is given.
    const std::string& groupName() const { return groupName_; }
    void setGroupName(std::string g) { assign(groupName_, std::move(g)); }
    bool value() const { return value_; }
    void setValue(bool v) {
        if (v == value_) return;
        if (v) turnOffOthers();
        value_ = v;
        changed();
        raise(onChange);
        if (v) raise(onClick);
    }

    EventHandler onChange;
    EventHandler onClick;

    void userClick() {
        if (value_) {
            raise(onClick);
            return;
        }
        setValue(true);
    }

private:
    std::string group() const { return groupName_.empty() ? "\x01" + container() : groupName_; }
    void turnOffOthers() {
        for (Control* c : form().controls()) {
            if (c == this || c->kind() != kKind) continue;
            auto* other = static_cast<OptionButton*>(c);
            if (other->group() == group() && other->value_) {
                other->value_ = false;
                other->changed();
                other->raise(other->onChange);
            }
        }
    }

    std::string caption_;
    std::string groupName_;
    bool value_ = false;
};

// ---- Command button, label, frame, image ---------------------------------------------------

class CommandButton : public Control {
public:
    static constexpr ControlKind kKind = ControlKind::CommandButton;
    void accept(ControlVisitor& visitor) override { visitor.visit(*this); }
    void accept(ConstControlVisitor& visitor) const override { visitor.visit(*this); }
    CommandButton(Form& form, std::string name, std::string container = {})
        : Control(form, std::move(name), kKind, std::move(container)) {}

    const std::string& caption() const { return caption_; }
    void setCaption(std::string c) { assign(caption_, std::move(c)); }

    EventHandler onClick;

    void userClick() { raise(onClick); }

private:
    std::string caption_;
};

class Label : public Control {
public:
    static constexpr ControlKind kKind = ControlKind::Label;
    void accept(ControlVisitor& visitor) override { visitor.visit(*this); }
    void accept(ConstControlVisitor& visitor) const override { visitor.visit(*this); }
    Label(Form& form, std::string name, std::string container = {})
        : Control(form, std::move(name), kKind, std::move(container)) {}

    const std::string& caption() const { return caption_; }
    void setCaption(std::string c) { assign(caption_, std::move(c)); }

    EventHandler onClick;

    void userClick() { raise(onClick); }

private:
    std::string caption_;
};

// A frame groups controls: they name it as their container.
class Frame : public Control {
public:
    static constexpr ControlKind kKind = ControlKind::Frame;
    void accept(ControlVisitor& visitor) override { visitor.visit(*this); }
    void accept(ConstControlVisitor& visitor) const override { visitor.visit(*this); }
    Frame(Form& form, std::string name, std::string container = {})
        : Control(form, std::move(name), kKind, std::move(container)) {}

    const std::string& caption() const { return caption_; }
    void setCaption(std::string c) { assign(caption_, std::move(c)); }

private:
    std::string caption_;
};

class Image : public Control {
public:
    static constexpr ControlKind kKind = ControlKind::Image;
    void accept(ControlVisitor& visitor) override { visitor.visit(*this); }
    void accept(ConstControlVisitor& visitor) const override { visitor.visit(*this); }
    Image(Form& form, std::string name, std::string container = {})
        : Control(form, std::move(name), kKind, std::move(container)) {}

    // The picture: a resource or file name the view loads; empty for none.
    const std::string& picture() const { return picture_; }
    void setPicture(std::string p) { assign(picture_, std::move(p)); }

    EventHandler onClick;
    MouseHandler onMouseDown;

    void userClick() { raise(onClick); }

private:
    std::string picture_;
};

// ---- List box --------------------------------------------------------------------------------

class ListBox : public Control {
public:
    static constexpr ControlKind kKind = ControlKind::ListBox;
    void accept(ControlVisitor& visitor) override { visitor.visit(*this); }
    void accept(ConstControlVisitor& visitor) const override { visitor.visit(*this); }
    ListBox(Form& form, std::string name, std::string container = {})
        : Control(form, std::move(name), kKind, std::move(container)) {}

    int listCount() const { return static_cast<int>(items_.size()); }
    const std::vector<std::string>& items() const { return items_; }
    const std::string& item(int index) const {
        if (index < 0 || index >= listCount())
            throw host::HostError(host::error::kInvalidArgument, "List index out of range");
        return items_[static_cast<size_t>(index)];
    }
    void addItem(std::string text, int index = -1) {
        if (index < -1 || index > listCount())
            throw host::HostError(host::error::kInvalidArgument, "AddItem index out of range");
        auto at = index < 0 ? items_.end() : items_.begin() + index;
        items_.insert(at, std::move(text));
        if (index >= 0 && listIndex_ >= index) ++listIndex_;
        changed();
    }
    void removeItem(int index) {
        if (index < 0 || index >= listCount())
            throw host::HostError(host::error::kInvalidArgument, "RemoveItem index out of range");
        items_.erase(items_.begin() + index);
        if (listIndex_ == index) listIndex_ = -1;
        else if (listIndex_ > index) --listIndex_;
        changed();
    }
    void clear() {
        items_.clear();
        listIndex_ = -1;
        changed();
    }
    // The selected item, -1 for none; its text is Text.
    int listIndex() const { return listIndex_; }
    std::string text() const { return listIndex_ >= 0 ? items_[static_cast<size_t>(listIndex_)] : std::string(); }
    void setListIndex(int index) {
        if (index < -1 || index >= listCount())
            throw host::HostError(host::error::kInvalidArgument, "ListIndex out of range");
        if (index == listIndex_) return;
        listIndex_ = index;
        changed();
        raise(onChange);
        raise(onClick);
    }
    // Whether files may be dropped on it from the file manager.
    bool acceptsDrops() const { return acceptsDrops_; }
    void setAcceptsDrops(bool on) { assign(acceptsDrops_, on); }

    EventHandler onChange;
    EventHandler onClick;
    EventHandler onDblClick;
    DropHandler onDragDrop;

    void userPick(int index) {
        if (index < 0 || index >= listCount())
            throw host::HostError(host::error::kInvalidArgument, "List index out of range");
        if (index != listIndex_) {
            listIndex_ = index;
            changed();
            raise(onChange);
        }
        raise(onClick);
    }
    void userDrop(const std::vector<std::string>& files) { raise(onDragDrop, files); }

private:
    std::vector<std::string> items_;
    int listIndex_ = -1;
    bool acceptsDrops_ = false;
};

// ---- List view ---------------------------------------------------------------------------------

enum class ListViewMode : int { Icon = 0, SmallIcon = 1, List = 2, Report = 3 };

struct ListColumn {
    std::string text;
    double width = 0;  // points
    friend bool operator==(const ListColumn&, const ListColumn&) = default;
};

struct ListRow {
    std::string text;                   // first column
    std::vector<std::string> subItems;  // columns 2, 3, ...: SubItems(1), SubItems(2) ...
    friend bool operator==(const ListRow&, const ListRow&) = default;
};

class ListView : public Control {
public:
    static constexpr ControlKind kKind = ControlKind::ListView;
    void accept(ControlVisitor& visitor) override { visitor.visit(*this); }
    void accept(ConstControlVisitor& visitor) const override { visitor.visit(*this); }
    ListView(Form& form, std::string name, std::string container = {})
        : Control(form, std::move(name), kKind, std::move(container)) {}

    ListViewMode view() const { return view_; }
    void setView(ListViewMode v) { assign(view_, v); }
    bool fullRowSelect() const { return fullRowSelect_; }
    void setFullRowSelect(bool on) { assign(fullRowSelect_, on); }
    double fontSize() const { return fontSize_; }
    void setFontSize(double size) { assign(fontSize_, size); }

    const std::vector<ListColumn>& columns() const { return columns_; }
    void addColumn(std::string text, double width) {
        columns_.push_back({std::move(text), width});
        changed();
    }
    void clearColumns() {
        columns_.clear();
        changed();
    }

    int itemCount() const { return count_; }
    // Every row; rows given by a row maker are made first.
    const std::vector<ListRow>& items() const {
        makeRows(count_);
        return rows_;
    }
    const ListRow& item(int index) const {
        if (index < 0 || index >= itemCount())
            throw host::HostError(host::error::kInvalidArgument, "ListItems index out of range");
        makeRows(index + 1);
        return rows_[static_cast<size_t>(index)];
    }
    // ListItems.Add: appends a row and returns its index.
    int addItem(std::string text) {
        makeRows(count_);
        rows_.push_back({std::move(text), {}});
        count_ = static_cast<int>(rows_.size());
        if (selected_ < 0 && rows_.size() == 1) selected_ = 0;
        ++itemsVersion_;
        changed();
        return itemCount() - 1;
    }
    // The rows replaced in one change, as clearing the list and adding each row does:
    // the first row is selected. The views redraw the list once, not once per row.
    void setItems(std::vector<ListRow> rows) {
        rows_ = std::move(rows);
        maker_ = nullptr;
        count_ = static_cast<int>(rows_.size());
        replaced();
    }
    // The same for `count` rows that `make` makes when they are first read (row by row
    // from the top), so that a list of tens of thousands of rows costs only the rows a
    // view shows at once; the others are made as the view reaches them.
    using RowMaker = std::function<ListRow(int index)>;
    void setItems(int count, RowMaker make) {
        rows_.clear();
        maker_ = std::move(make);
        count_ = maker_ ? std::max(count, 0) : 0;
        replaced();
    }
    // Rows made so far, from the top: a view that fills its rows slice by slice reads
    // no row further than it has reached.
    int madeCount() const { return static_cast<int>(rows_.size()); }
    // Changes with every change of the rows, so that a view sees a new list without
    // comparing its rows.
    unsigned itemsVersion() const { return itemsVersion_; }
    // SubItems(k) = text, k from 1.
    void setSubItem(int index, int k, std::string text) {
        if (index < 0 || index >= itemCount() || k < 1 || k > 255)
            throw host::HostError(host::error::kInvalidArgument, "SubItems index out of range");
        makeRows(index + 1);
        auto& subs = rows_[static_cast<size_t>(index)].subItems;
        if (static_cast<int>(subs.size()) < k) subs.resize(static_cast<size_t>(k));
        subs[static_cast<size_t>(k - 1)] = std::move(text);
        ++itemsVersion_;
        changed();
    }
    std::string subItem(int index, int k) const {
        const auto& subs = item(index).subItems;
        return k >= 1 && k <= static_cast<int>(subs.size()) ? subs[static_cast<size_t>(k - 1)]
                                                            : std::string();
    }
    // ListItems.Clear.
    void clearItems() {
        rows_.clear();
        maker_ = nullptr;
        count_ = 0;
        selected_ = -1;
        ++itemsVersion_;
        changed();
    }
    // SelectedItem: its index, -1 for none.
    int selectedIndex() const { return selected_; }
    void setSelectedIndex(int index) {
        if (index < -1 || index >= itemCount())
            throw host::HostError(host::error::kInvalidArgument, "SelectedItem out of range");
        assign(selected_, index);
    }

    EventHandler onClick;
    std::function<void(int index)> onItemClick;
    EventHandler onDblClick;
    KeyHandler onKeyDown;
    KeyHandler onKeyUp;

    void userClickItem(int index) {
        setSelectedIndex(index);
        raise(onItemClick, index);
        raise(onClick);
    }
    int userKeyDown(int keyCode, int shiftState) {
        raise(onKeyDown, keyCode, shiftState);
        return keyCode;
    }
    void userKeyUp(int keyCode, int shiftState) { raise(onKeyUp, keyCode, shiftState); }

private:
    void replaced() {
        selected_ = count_ == 0 ? -1 : 0;
        ++itemsVersion_;
        changed();
    }
    // Makes the rows up to `count` that are not made yet.
    void makeRows(int count) const {
        if (!maker_) return;
        count = std::min(count, count_);
        if (static_cast<int>(rows_.size()) >= count) return;
        rows_.reserve(static_cast<size_t>(count));
        for (int i = static_cast<int>(rows_.size()); i < count; ++i) rows_.push_back(maker_(i));
        if (static_cast<int>(rows_.size()) == count_) maker_ = nullptr;
    }

    ListViewMode view_ = ListViewMode::Icon;
    bool fullRowSelect_ = false;
    double fontSize_ = 9;
    std::vector<ListColumn> columns_;
    // The rows made so far; with a row maker, the first ones of count_.
    mutable std::vector<ListRow> rows_;
    mutable RowMaker maker_;
    int count_ = 0;
    unsigned itemsVersion_ = 0;
    int selected_ = -1;
};

// ---- Visiting with lambdas -----------------------------------------------------------------

// The lambdas of a visit as one overloaded function object.
template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

namespace detail {

// A visitor that hands the control, as its own kind, to a function and keeps what the
// function returns.
template <bool kConst, class F, class R>
class CallingVisitor final : public BasicControlVisitor<kConst> {
    template <class C>
    using Ref = typename BasicControlVisitor<kConst>::template Ref<C>;

public:
    explicit CallingVisitor(F& f) : f_(f) {}
    void visit(Ref<TextBox> c) override { call(c); }
    void visit(Ref<ComboBox> c) override { call(c); }
    void visit(Ref<CheckBox> c) override { call(c); }
    void visit(Ref<OptionButton> c) override { call(c); }
    void visit(Ref<CommandButton> c) override { call(c); }
    void visit(Ref<Label> c) override { call(c); }
    void visit(Ref<Frame> c) override { call(c); }
    void visit(Ref<Image> c) override { call(c); }
    void visit(Ref<ListBox> c) override { call(c); }
    void visit(Ref<ListView> c) override { call(c); }
    R result() {
        if constexpr (!std::is_void_v<R>) return std::move(*result_);
    }

private:
    template <class C>
    void call(C& c) {
        if constexpr (std::is_void_v<R>) f_(c);
        else result_.emplace(f_(c));
    }
    F& f_;
    struct Nothing {};
    std::optional<std::conditional_t<std::is_void_v<R>, Nothing, R>> result_;
};

}  // namespace detail

// Calls the overload of f that takes the control as its own kind (TextBox&, or const
// TextBox& for a const control) and returns its result. An overload taking Control&
// (or const Control&) serves the kinds that have none of their own; without one, f
// must take every kind. All overloads return the same type.
//   visitControl(c, Overloaded{[](TextBox& b) { ... }, [](Control&) { ... }});
template <class C, class F>
decltype(auto) visitControl(C& control, F&& f) {
    static_assert(std::is_base_of_v<Control, std::remove_const_t<C>>);
    constexpr bool kConst = std::is_const_v<C>;
    using R = std::invoke_result_t<F&, std::conditional_t<kConst, const TextBox&, TextBox&>>;
    detail::CallingVisitor<kConst, std::remove_reference_t<F>, R> visitor(f);
    control.accept(visitor);
    return visitor.result();
}

}  // namespace vorra::dialogs
