#include "platform/desktop/widgets/RoundedWindow.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QSaveFile>

namespace vorra::desktop {

QRegion roundedOutline(const QSize& size) {
    return roundedOutline(QRectF(0, 0, size.width(), size.height()), 10, 10);
}

QRegion roundedOutline(const QRectF& rect, double radiusX, double radiusY) {
    QPainterPath path;
    path.addRoundedRect(rect, radiusX, radiusY);
    return QRegion(path.toFillPolygon().toPolygon());
}

QImage pictureWithinOutline(QWidget& window) {
    QImage shown(window.size(), QImage::Format_ARGB32_Premultiplied);
    shown.fill(Qt::transparent);
    QPainter painter(&shown);
    painter.setClipRegion(roundedOutline(window.size()));
    painter.drawPixmap(0, 0, window.grab());
    painter.end();
    return shown;
}

bool savePng(const QImage& image, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (!image.save(&file, "PNG")) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace vorra::desktop
