// Draws the launcher's product picture (561 x 358) and saves it as PNG.
//
// make_product_picture FILE
// The picture is kept in launcher/resources/product.png; run this again to change it.
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>
#include <cstdio>

namespace {

constexpr int kWidth = 561;
constexpr int kHeight = 358;

// A cheque-like slip, tilted, with the guide lines of a pre-printed form.
void drawSlip(QPainter& p, QPointF at, qreal angle, QColor paper, QColor ink) {
    p.save();
    p.translate(at);
    p.rotate(angle);
    const QRectF slip(0, 0, 250, 112);
    p.setPen(QPen(ink.darker(130), 1.2));
    p.setBrush(paper);
    p.drawRoundedRect(slip, 4, 4);
    p.setPen(QPen(ink, 1, Qt::DashLine));
    for (int row = 0; row < 4; ++row) p.drawLine(QPointF(14, 30 + row * 20), QPointF(236, 30 + row * 20));
    p.setPen(QPen(ink, 1));
    p.drawRect(QRectF(170, 78, 66, 24));
    for (int cell = 1; cell < 6; ++cell) p.drawLine(QPointF(170 + cell * 11, 78), QPointF(170 + cell * 11, 102));
    p.setPen(QPen(QColor(200, 30, 40), 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(18, 70, 34, 34));
    p.restore();
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: make_product_picture FILE\n", stderr);
        return 2;
    }
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, kWidth, kHeight);
    sky.setColorAt(0, QColor(18, 64, 128));
    sky.setColorAt(1, QColor(8, 28, 62));
    p.fillRect(image.rect(), sky);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 18));
    for (int i = 0; i < 6; ++i) p.drawEllipse(QPointF(480 - i * 30, 40 + i * 12), 120 - i * 12, 120 - i * 12);

    drawSlip(p, QPointF(300, 150), -8, QColor(236, 246, 236), QColor(40, 120, 70));
    drawSlip(p, QPointF(280, 190), 4, QColor(250, 240, 226), QColor(150, 90, 40));

    QFont title(QStringLiteral("WenQuanYi Micro Hei"));
    title.setPixelSize(46);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(255, 214, 90));
    p.drawText(QRectF(36, 70, 300, 60), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Excel支票"));
    title.setPixelSize(40);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRectF(36, 130, 300, 56), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Quorvan"));

    QFont line(QStringLiteral("WenQuanYi Micro Hei"));
    line.setPixelSize(18);
    p.setFont(line);
    p.setPen(QColor(200, 220, 245));
    p.drawText(QRectF(38, 196, 260, 28), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("票据填写 · 套打 · 记录"));

    p.setPen(QPen(QColor(255, 214, 90), 3));
    p.drawLine(QPointF(38, 236), QPointF(200, 236));

    line.setPixelSize(14);
    p.setFont(line);
    p.setPen(QColor(170, 190, 220));
    p.drawText(QRectF(38, 300, 300, 24), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("正在启动，请稍候……"));
    p.end();

    QSaveFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
        std::fputs("make_product_picture: could not write the picture\n", stderr);
        return 1;
    }
    return 0;
}
