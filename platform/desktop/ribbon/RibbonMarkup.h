#pragma once
// The add-in's custom UI markup (what GetCustomUI returns) read into plain values:
// tabs, their groups and the buttons of each group, with the attributes the desktop
// shows. Attribute values come out as a conforming XML reader gives them, so a line
// break inside an attribute reads as a blank.

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vorra::desktop {

struct RibbonButton {
    std::string id;
    std::string label;
    std::string size;  // "large" or "normal"
    std::string onAction;
    std::string imageMso;
    std::string screentip;
    std::string supertip;
};

struct RibbonGroup {
    std::string id;
    std::string label;
    std::vector<RibbonButton> buttons;
};

struct RibbonTab {
    std::string id;
    std::string label;
    std::string insertBeforeMso;  // a tab of the host this one stands before; empty: at the end
    std::vector<RibbonGroup> groups;
};

struct RibbonDefinition {
    std::vector<RibbonTab> tabs;
};

class RibbonMarkupError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the markup. The empty text gives no tabs; markup that is not well formed or
// whose root is not customUI throws RibbonMarkupError with the reader's message.
RibbonDefinition parseRibbonMarkup(const std::string& markup);

}  // namespace vorra::desktop
