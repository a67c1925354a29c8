#pragma once
// The host's command bars as toolbars of the desktop window, for hosts whose version
// has no ribbon: one toolbar per visible bar, one tool button per control with its
// caption, tooltip and face, a separator before a control that begins a group. A
// click is the button's click in the bar model, which delivers it to the handlers the
// add-in subscribed.

#include <QString>
#include <vector>

#include "addin/frame/host/CommandBars.h"

class QMainWindow;
class QToolBar;

namespace vorra::desktop {

// Builds the toolbars of the visible bars and adds them to the window (at the top
// when the bar's position says so). Returns the toolbars in the bars' order. The bars
// must outlive the toolbars.
std::vector<QToolBar*> showCommandBars(host::CommandBars& bars, QMainWindow& window);

}  // namespace vorra::desktop
