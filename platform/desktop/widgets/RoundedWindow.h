#pragma once
// The frameless windows of the launcher and the backup tool: their rounded outline, a
// picture of the window as it shows on screen, and that picture saved as a screenshot.
// The dialog toolkit cuts the outline of a form's window with the same shape.

#include <QImage>
#include <QRectF>
#include <QRegion>
#include <QSize>
#include <QString>
#include <QWidget>

namespace vorra::desktop {

// The window's outline: its inner area with corners cut by a 20 x 20 ellipse.
QRegion roundedOutline(const QSize& size);
// A rectangle with corners cut by an ellipse of the given radii, as a window mask.
QRegion roundedOutline(const QRectF& rect, double radiusX, double radiusY);

// The window drawn as it shows: its contents clipped to the rounded outline, the cut
// corners transparent.
QImage pictureWithinOutline(QWidget& window);

// Saves an image as PNG through a temporary file, so that a failed write leaves any
// earlier file at the path as it was.
bool savePng(const QImage& image, const QString& path);

}  // namespace vorra::desktop
