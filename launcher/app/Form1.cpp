#include "launcher/app/Form1.h"

#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>

#include "launcher/core/LaunchMarker.h"
#include "launcher/core/LauncherTexts.h"
#include "platform/desktop/widgets/RoundedWindow.h"

namespace vorra::launcher {

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
    setMask(desktop::roundedOutline(size()));
}

Form1::~Form1() {
    // Stop the welcome timer while the window it calls back still exists.
    if (m_t1) {
        m_t1->ThatTime = nullptr;
        m_t1->setInterval(0);
    }
}

void Form1::Form_Load() {
    std::optional<std::string> timerFailure;
    try {
        m_t1 = CTimer::create(services_.timers);
        m_t1->ThatTime = [this] { m_t1_ThatTime(); };
        m_t1->setInterval(kWelcomeMilliseconds);
    } catch (const TimerError& e) {
        timerFailure = e.description;
    }
    // The marker goes all the same: the host started by hand then shows the commands.
    writeLaunchMarker(services_.folder);
    if (!timerFailure) return;
    m_t1.reset();
    const std::string message = timerFailureMessage(*timerFailure);
    if (services_.tell) services_.tell(message);
    else
        QMessageBox::critical(this, QString::fromUtf8(kMessageTitle.data(), static_cast<qsizetype>(kMessageTitle.size())),
                              QString::fromStdString(message));
    close();
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
    setMask(desktop::roundedOutline(size()));
}

QImage Form1::picture() { return desktop::pictureWithinOutline(*this); }

}  // namespace vorra::launcher
