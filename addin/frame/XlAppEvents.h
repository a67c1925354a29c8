#pragma once
// Receives the host's application events while the add-in is connected. Its one
// active behaviour is the cursor path of the fill-in sheet: when the selection
// arrives on one of four cells, it moves on to the next input cell.

#include "addin/frame/host/Host.h"

namespace vorra {

class XlAppEvents : public host::ApplicationEvents {
public:
    // Subscribes to the events of XlApp.
    XlAppEvents();
    ~XlAppEvents() override;
    XlAppEvents(const XlAppEvents&) = delete;
    XlAppEvents& operator=(const XlAppEvents&) = delete;

    void sheetSelectionChange(host::Worksheet& sheet, const host::Range& target) override;

private:
    host::Application* XL;
};

}  // namespace vorra
