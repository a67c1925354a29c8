#pragma once
// The host's legacy command bars: toolbars with buttons whose clicks are delivered to
// the handlers subscribed to them. Plain state owned by the host, so that the desktop
// can show it and tests can inspect and click it.

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "HostError.h"

namespace vorra::host {

// Host constants of the command-bar model.
namespace bar {
inline constexpr int kControlButton = 1;          // msoControlButton
inline constexpr int kPositionTop = 1;            // msoBarTop
inline constexpr int kNoMove = 4;                 // msoBarNoMove
inline constexpr int kStyleIconAndCaptionBelow = 11;  // msoButtonIconAndCaptionBelow
}  // namespace bar

class CommandBarButton {
public:
    using ClickHandler = std::function<void(CommandBarButton& button, bool& cancelDefault)>;

    std::string caption;
    std::string tooltip;
    std::string parameter;
    int faceId = 0;
    int style = 0;
    bool beginGroup = false;
    bool temporary = false;

    // Delivers every later click of this button to the handler.
    void subscribeClick(ClickHandler handler) { handlers_.push_back(std::move(handler)); }
    size_t subscriberCount() const { return handlers_.size(); }

    // A user's click: every subscribed handler receives it in subscription order.
    void click() {
        bool cancelDefault = false;
        auto handlers = handlers_;  // a handler may subscribe further handlers
        for (auto& h : handlers) h(*this, cancelDefault);
    }

private:
    std::vector<ClickHandler> handlers_;
};

class CommandBar {
public:
    explicit CommandBar(std::string name, bool temporary)
        : name_(std::move(name)), temporary_(temporary) {}

    const std::string& name() const { return name_; }
    bool temporary() const { return temporary_; }
    bool visible = false;
    int position = 0;
    int protection = 0;

    // Adds a control of the given type; position 0 appends, otherwise the control is
    // inserted before the control at that 1-based position.
    std::shared_ptr<CommandBarButton> addControl(int type, int before, bool temporary) {
        if (type != bar::kControlButton)
            throw HostError(error::kInvalidArgument, "Only plain buttons are supported");
        auto button = std::make_shared<CommandBarButton>();
        button->temporary = temporary;
        if (before <= 0 || before > static_cast<int>(controls_.size()))
            controls_.push_back(button);
        else
            controls_.insert(controls_.begin() + (before - 1), button);
        return button;
    }
    const std::vector<std::shared_ptr<CommandBarButton>>& controls() const { return controls_; }

    // What the host keeps of a bar between its runs: the bar, without its temporary
    // controls.
    void dropTemporaryControls() {
        std::erase_if(controls_, [](const auto& c) { return c->temporary; });
    }

private:
    std::string name_;
    bool temporary_;
    std::vector<std::shared_ptr<CommandBarButton>> controls_;
};

class CommandBars {
public:
    // The bar of that name; a host error when there is none.
    CommandBar& item(const std::string& name) {
        for (auto& b : bars_)
            if (b->name() == name) return *b;
        throw HostError(error::kInvalidArgument, "No command bar named \"" + name + "\"");
    }
    bool contains(const std::string& name) const {
        return std::any_of(bars_.begin(), bars_.end(),
                           [&](const auto& b) { return b->name() == name; });
    }
    CommandBar& add(const std::string& name, bool temporary = false) {
        if (contains(name))
            throw HostError(error::kInvalidArgument,
                            "A command bar named \"" + name + "\" already exists");
        bars_.push_back(std::make_unique<CommandBar>(name, temporary));
        return *bars_.back();
    }
    void remove(const std::string& name) {
        auto it = std::find_if(bars_.begin(), bars_.end(),
                               [&](const auto& b) { return b->name() == name; });
        if (it == bars_.end())
            throw HostError(error::kInvalidArgument, "No command bar named \"" + name + "\"");
        bars_.erase(it);
    }
    size_t count() const { return bars_.size(); }
    const std::vector<std::unique_ptr<CommandBar>>& bars() const { return bars_; }

    // The host's end of a run: temporary bars go, the others stay without their
    // temporary controls (what the host remembers for its next run).
    void endOfRun() {
        std::erase_if(bars_, [](const auto& b) { return b->temporary(); });
        for (auto& b : bars_) b->dropTemporaryControls();
    }

private:
    std::vector<std::unique_ptr<CommandBar>> bars_;
};

}  // namespace vorra::host
