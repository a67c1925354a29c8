#pragma once
// The host's built-in image names (imageMso of the ribbon markup) and command-bar face
// ids, shown as the desktop's themed icons, with a standard icon of the widget style
// where the theme has none.

#include <QIcon>
#include <string>

namespace vorra::desktop {

// The freedesktop icon name the desktop shows for a built-in image name; empty for
// a name it does not know.
std::string themeIconName(const std::string& imageMso);

QIcon ribbonIcon(const std::string& imageMso);
QIcon faceIcon(int faceId);

// Makes the themed icons available where the desktop session names no icon theme (a
// bare X server, the offscreen platform): the installed Adwaita theme then stands in.
void ensureIconTheme();

}  // namespace vorra::desktop
