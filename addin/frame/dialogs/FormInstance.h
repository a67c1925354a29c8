#pragma once
// One global instance per form, created on first use and released by Unload.
//
//   FormInstance<TianxiePJ_frm>::get(toolkit)->ComboBox4.setValue(name);
//
// get() creates the form when it has no instance (its Initialize runs) without showing
// it: touching a control of a form that does not exist yet creates it. show() is the
// form-show operation without arguments. The instance lives in the static storage of
// the program or library that instantiates the template (the add-in).
//
// get() hands out a shared pointer: a form that unloads itself while in use (in its
// Initialize, or from a handler) stays valid for as long as the caller holds it.

#include <memory>

#include "Form.h"

namespace vorra::dialogs {

template <class T>
class FormInstance {
public:
    // The live instance, created and initialized when there is none.
    static std::shared_ptr<T> get(Toolkit& toolkit) {
        if (instance_) return instance_;
        auto form = std::make_shared<T>();
        instance_ = form;
        const T* raw = form.get();
        form->load(toolkit, [raw] {
            if (instance_.get() == raw) instance_.reset();
        });
        return form;
    }
    // The live instance or nullptr; never creates one.
    static std::shared_ptr<T> existing() { return instance_; }
    static bool exists() { return instance_ != nullptr; }

    // Form.Show: creates the instance when needed and shows it modeless.
    static std::shared_ptr<T> show(Toolkit& toolkit) {
        auto form = get(toolkit);
        form->show();
        return form;
    }
    // Unload Form: nothing when there is no instance; false when QueryClose cancelled.
    static bool unload(CloseMode mode = CloseMode::Code) {
        auto form = instance_;
        return !form || form->unload(mode);
    }
    // Drops the instance without events (the add-in disconnecting from a host whose
    // toolkit is gone).
    static void forget() { instance_.reset(); }

private:
    static inline std::shared_ptr<T> instance_;
};

}  // namespace vorra::dialogs
