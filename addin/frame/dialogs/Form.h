#pragma once
// Forms and the control base. A form is a class of the add-in deriving from Form; its
// controls are members (plain state objects, Controls.h) that register with the form
// by name when constructed. The form's constructor wires the controls' events to its
// handlers; the toolkit renders the state (or, headless, only keeps it).
//
// Lifetime: a form is owned by a std::shared_ptr (FormInstance.h). Loading attaches it
// to a toolkit, registers it and raises Initialize; unloading raises QueryClose (which
// may cancel) and Terminate, hides it and unregisters it. While an event of the form
// runs, the form keeps itself alive, so a handler may unload its own form ("Unload
// Me") and go on (for example to show the next form).

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "addin/frame/host/HostError.h"
#include "Keys.h"
#include "Toolkit.h"

namespace vorra::dialogs {

enum class ControlKind {
    Label,
    TextBox,
    ComboBox,
    CheckBox,
    OptionButton,
    CommandButton,
    Frame,
    Image,
    ListBox,
    ListView,
};

inline const char* kindName(ControlKind kind) {
    switch (kind) {
        case ControlKind::Label: return "Label";
        case ControlKind::TextBox: return "TextBox";
        case ControlKind::ComboBox: return "ComboBox";
        case ControlKind::CheckBox: return "CheckBox";
        case ControlKind::OptionButton: return "OptionButton";
        case ControlKind::CommandButton: return "CommandButton";
        case ControlKind::Frame: return "Frame";
        case ControlKind::Image: return "Image";
        case ControlKind::ListBox: return "ListBox";
        case ControlKind::ListView: return "ListView";
    }
    return "Control";
}

// Colours as the host stores them: 0x00BBGGRR.
using Color = std::uint32_t;
namespace color {
inline constexpr Color kBlack = 0x000000;
inline constexpr Color kRed = 0x0000FF;
inline constexpr Color kBlue = 0xFF0000;
inline constexpr Color kWindowText = 0x80000012;  // the system's text colour
}  // namespace color

// Names of forms and controls are compared as the host does: ASCII letters without
// regard to case, everything else exactly.
inline bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

class Form;

// The visitor over the control kinds (Controls.h): a control calls the visit for its
// own kind, so that code which treats each kind differently needs no downcast.
template <bool kConst>
class BasicControlVisitor;
using ControlVisitor = BasicControlVisitor<false>;
using ConstControlVisitor = BasicControlVisitor<true>;

using EventHandler = std::function<void()>;
// KeyDown and KeyUp: the handler may set the key code to 0 to swallow the key.
using KeyHandler = std::function<void(int& keyCode, int shift)>;
using MouseHandler = std::function<void(int button, int shift, double x, double y)>;
// Files dropped from the file manager, full paths in the order given.
using DropHandler = std::function<void(const std::vector<std::string>& files)>;

// What every control has: name, kind, the frame it sits in, geometry in the form's
// units, visibility, enabled state, tab index, text colour and tip text. Controls
// cannot be copied: the form knows them by address.
class Control {
public:
    Control(Form& form, std::string name, ControlKind kind, std::string container);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    Form& form() const { return form_; }
    const std::string& name() const { return name_; }
    ControlKind kind() const { return kind_; }
    // The name of the frame holding the control; empty when it sits on the form.
    const std::string& container() const { return container_; }

    bool visible() const { return visible_; }
    void setVisible(bool v) { assign(visible_, v); }
    bool enabled() const { return enabled_; }
    void setEnabled(bool e) { assign(enabled_, e); }
    double left() const { return left_; }
    void setLeft(double v) { assign(left_, v); }
    double top() const { return top_; }
    void setTop(double v) { assign(top_, v); }
    double width() const { return width_; }
    void setWidth(double v) { assign(width_, v); }
    double height() const { return height_; }
    void setHeight(double v) { assign(height_, v); }
    // Places the control: position and size in one call, in the form's units.
    void move(double left, double top, double width, double height) {
        setLeft(left);
        setTop(top);
        setWidth(width);
        setHeight(height);
    }
    int tabIndex() const { return tabIndex_; }
    void setTabIndex(int i) { assign(tabIndex_, i); }
    Color foreColor() const { return foreColor_; }
    void setForeColor(Color c) { assign(foreColor_, c); }
    const std::string& tipText() const { return tipText_; }
    void setTipText(std::string t) { assign(tipText_, std::move(t)); }

    // Gives the control the keyboard focus (the form's active control).
    void setFocus();
    bool hasFocus() const;

    // Whether a user could act on it: visible and enabled, and so is its frame.
    bool reachable() const;

    // Calls the visitor's visit for this control's kind.
    virtual void accept(ControlVisitor& visitor) = 0;
    virtual void accept(ConstControlVisitor& visitor) const = 0;

protected:
    // Stores a property and tells the view when it changed.
    template <class T, class U>
    void assign(T& field, U&& value) {
        if (field == value) return;
        field = std::forward<U>(value);
        changed();
    }
    void changed();
    // Runs an event handler of this control (nothing when none is set), keeping the
    // form alive while it runs.
    template <class Handler, class... Args>
    void raise(const Handler& handler, Args&&... args);

private:
    Form& form_;
    std::string name_;
    ControlKind kind_;
    std::string container_;
    bool visible_ = true;
    bool enabled_ = true;
    double left_ = 0;
    double top_ = 0;
    double width_ = 0;
    double height_ = 0;
    int tabIndex_ = 0;
    Color foreColor_ = color::kWindowText;
    std::string tipText_;
};

// User forms (controls of the forms library) and window forms (the window system's
// own dialog windows) behave alike here; the kind only tells the view how to draw.
enum class FormKind { UserForm, WindowForm };

class Form : public std::enable_shared_from_this<Form> {
public:
    Form(std::string name, FormKind kind = FormKind::UserForm)
        : name_(std::move(name)), kind_(kind) {}
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    virtual ~Form() = default;

    const std::string& name() const { return name_; }
    FormKind kind() const { return kind_; }

    const std::string& caption() const { return caption_; }
    void setCaption(std::string c) { assign(caption_, std::move(c)); }
    // Geometry in the form's own units (twips for window forms; the add-in's forms set
    // their heights in the numbers their layout rules give).
    double left() const { return left_; }
    void setLeft(double v) { assign(left_, v); }
    double top() const { return top_; }
    void setTop(double v) { assign(top_, v); }
    double width() const { return width_; }
    void setWidth(double v) { assign(width_, v); }
    double height() const { return height_; }
    void setHeight(double v) { assign(height_, v); }
    // Whether files may be dropped on the form itself.
    bool acceptsDrops() const { return acceptsDrops_; }
    void setAcceptsDrops(bool on) { assign(acceptsDrops_, on); }

    // ---- Events, wired by the add-in's form to its handlers. ------------------------
    EventHandler onInitialize;  // UserForm_Initialize / Form_Load
    // QueryClose(Cancel, CloseMode): set cancel to non-zero to keep the form.
    std::function<void(int& cancel, CloseMode mode)> onQueryClose;
    EventHandler onTerminate;  // the form is being unloaded
    MouseHandler onMouseDown;  // a press on the form's body
    DropHandler onDragDrop;    // files dropped on the form's body

    // ---- Controls. ------------------------------------------------------------------
    // All controls in the order the form created them (declaration order).
    const std::vector<Control*>& controls() const { return controls_; }
    // The control of that name ("TextBox" & i), or nullptr.
    Control* control(std::string_view name) const {
        for (Control* c : controls_)
            if (sameName(c->name(), name)) return c;
        return nullptr;
    }
    // The control of that name and kind; a host error when there is none.
    template <class C>
    C& controlAs(std::string_view name) const {
        Control* c = control(name);
        if (!c || c->kind() != C::kKind)
            throw host::HostError(host::error::kInvalidArgument,
                                  "No " + std::string(kindName(C::kKind)) + " named " +
                                      std::string(name) + " on " + name_);
        return static_cast<C&>(*c);
    }
    // The control holding the focus, or nullptr.
    Control* activeControl() const { return active_; }

    // ---- Life cycle. ----------------------------------------------------------------
    bool loaded() const { return loaded_; }
    bool visible() const { return visible_; }
    bool hasToolkit() const { return toolkit_ != nullptr; }
    // The toolkit the form was loaded into; a host error after the toolkit is gone.
    Toolkit& toolkit() const {
        if (!toolkit_) throw host::HostError(host::error::kObjectRequired, name_ + " has no toolkit");
        return *toolkit_;
    }

    // Attaches the form to a toolkit, registers it and raises Initialize. The release
    // function runs once the form has unloaded (FormInstance drops its reference).
    void load(Toolkit& toolkit, std::function<void()> release = {});
    // Shows the form; without arguments modeless. Nothing happens once unloaded.
    void show(ShowMode mode = ShowMode::Modeless);
    void hide();
    // Unload: QueryClose with the mode (a handler may cancel: false), then Terminate;
    // the form is hidden, unregistered and released. True when it unloaded.
    bool unload(CloseMode mode = CloseMode::Code);
    // The toolkit went away before the form: forget it.
    void detach() { toolkit_ = nullptr; }

    // Runs an event handler of this form or one of its controls (nothing when none is
    // set), keeping the form alive meanwhile.
    template <class Handler, class... Args>
    void raise(const Handler& handler, Args&&... args) {
        if (!handler) return;
        auto keepAlive = weak_from_this().lock();
        handler(std::forward<Args>(args)...);
    }

    // ---- Used by Control. -------------------------------------------------------------
    void adopt(Control* control) { controls_.push_back(control); }
    void focus(Control* control) {
        if (active_ == control) return;
        active_ = control;
        if (toolkit_ && control) toolkit_->focusChanged(*control);
    }
    void controlChanged(Control& control) {
        if (toolkit_) toolkit_->controlChanged(control);
    }

private:
    template <class T, class U>
    void assign(T& field, U&& value) {
        if (field == value) return;
        field = std::forward<U>(value);
        if (toolkit_) toolkit_->formChanged(*this);
    }

    std::string name_;
    FormKind kind_;
    std::string caption_;
    double left_ = 0;
    double top_ = 0;
    double width_ = 0;
    double height_ = 0;
    bool acceptsDrops_ = false;
    std::vector<Control*> controls_;
    Control* active_ = nullptr;
    Toolkit* toolkit_ = nullptr;
    std::function<void()> release_;
    bool loaded_ = false;
    bool visible_ = false;
    bool unloading_ = false;
};

// ---- Control, inline parts that need Form. -------------------------------------------

inline Control::Control(Form& form, std::string name, ControlKind kind, std::string container)
    : form_(form), name_(std::move(name)), kind_(kind), container_(std::move(container)) {
    form_.adopt(this);
}

inline void Control::setFocus() { form_.focus(this); }
inline bool Control::hasFocus() const { return form_.activeControl() == this; }
inline void Control::changed() { form_.controlChanged(*this); }

inline bool Control::reachable() const {
    if (!visible_ || !enabled_) return false;
    if (container_.empty()) return true;
    const Control* frame = form_.control(container_);
    return !frame || frame->reachable();
}

template <class Handler, class... Args>
void Control::raise(const Handler& handler, Args&&... args) {
    form_.raise(handler, std::forward<Args>(args)...);
}

// ---- Form life cycle. -------------------------------------------------------------------

inline void Form::load(Toolkit& toolkit, std::function<void()> release) {
    if (loaded_) return;
    toolkit_ = &toolkit;
    release_ = std::move(release);
    loaded_ = true;
    toolkit.registerForm(shared_from_this());
    raise(onInitialize);
    if (loaded_ && toolkit_) toolkit_->formLoaded(*this);
}

inline void Form::show(ShowMode mode) {
    if (!loaded_ || !toolkit_) return;
    auto keepAlive = weak_from_this().lock();
    visible_ = true;
    toolkit_->showForm(*this, mode);
}

inline void Form::hide() {
    if (!visible_) return;
    visible_ = false;
    if (toolkit_) toolkit_->hideForm(*this);
}

inline bool Form::unload(CloseMode mode) {
    if (!loaded_ || unloading_) return !loaded_;
    auto keepAlive = weak_from_this().lock();
    unloading_ = true;
    int cancel = 0;
    try {
        raise(onQueryClose, cancel, mode);
        if (cancel == 0) raise(onTerminate);
    } catch (...) {
        unloading_ = false;
        throw;
    }
    unloading_ = false;
    if (cancel != 0) return false;
    hide();
    loaded_ = false;
    active_ = nullptr;
    if (toolkit_) {
        toolkit_->formUnloaded(*this);
        toolkit_->unregisterForm(*this);
    }
    if (auto release = std::move(release_)) release();
    return true;
}

// ---- Toolkit registry. --------------------------------------------------------------------

inline Toolkit::~Toolkit() {
    for (auto& weak : forms_)
        if (auto form = weak.lock()) form->detach();
}

inline void Toolkit::registerForm(const std::shared_ptr<Form>& form) {
    std::erase_if(forms_, [](const std::weak_ptr<Form>& w) { return w.expired(); });
    forms_.push_back(form);
}

inline void Toolkit::unregisterForm(const Form& form) {
    std::erase_if(forms_, [&](const std::weak_ptr<Form>& w) {
        auto f = w.lock();
        return !f || f.get() == &form;
    });
}

inline std::shared_ptr<Form> Toolkit::findForm(std::string_view name) const {
    for (auto& weak : forms_)
        if (auto form = weak.lock(); form && form->loaded() && sameName(form->name(), name)) return form;
    return nullptr;
}

inline std::vector<std::shared_ptr<Form>> Toolkit::liveForms() const {
    std::vector<std::shared_ptr<Form>> live;
    for (auto& weak : forms_)
        if (auto form = weak.lock(); form && form->loaded()) live.push_back(form);
    return live;
}

}  // namespace vorra::dialogs
