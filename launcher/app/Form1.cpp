#include "launcher/app/Form1.h"

#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRegion>

#include "launcher/core/LaunchMarker.h"
#include "launcher/core/LauncherTexts.h"

namespace vorra::launcher {
namespace {

// The window's outline: its inner area with corners cut by a 20 x 20 ellipse.
QRegion roundedOutline(const QSize& size) {
    QPainterPath path;
    path.addRoundedRect(QRectF(0, 0, size.width(), size.height()), 10, 10);
    return QRegion(path.toFillPolygon().toPolygon());
}

}  // namespace

QPixmap productPicture() { return QPixmap(QStringLiteral(":/launcher/product.png")); }

Form1::Form1(LauncherServices services, QWidget* parent)
    : QWidget(parent,
              Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      services_(std::move(services)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromUtf8(kCaption.data(), static_cast<int>(kCaption.size())));
    const QPixmap pixmap = productPicture();
    auto* image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(pixmap);
    image->setGeometry(0, 0, pixmap.width(), pixmap.height());
    setFixedSize(pixmap.size());
    setMask(roundedOutline(size()));
}

Form1::~Form1() {
    // Stop the welcome timer while the window it calls back still exists.
    if (m_t1) {
        m_t1->ThatTime = nullptr;
        m_t1->setInterval(0);
    }
}

void Form1::Form_Load() {
    // A timer that cannot start only means the host is not started; the marker still goes.
    try {
        m_t1 = CTimer::create(services_.timers);
        m_t1->ThatTime = [this] { m_t1_ThatTime(); };
        m_t1->setInterval(kWelcomeMilliseconds);
    } catch (const TimerError&) {
    }
    writeLaunchMarker(services_.folder);
}

void Form1::m_t1_ThatTime() {
    if (const auto program = services_.hostProgram()) services_.startHost(*program);
    if (m_t1) {
        m_t1->setInterval(0);
        m_t1.reset();
    }
    close();
}

void Form1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    setMask(roundedOutline(size()));
}

QImage Form1::picture() {
    QImage shown(size(), QImage::Format_ARGB32_Premultiplied);
    shown.fill(Qt::transparent);
    QPainter painter(&shown);
    painter.setClipRegion(roundedOutline(size()));
    painter.drawPixmap(0, 0, grab());
    painter.end();
    return shown;
}

}  // namespace vorra::launcher
