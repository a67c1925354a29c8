#include "platform/print/CalibrationPage.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <QTransform>
#include <cmath>

#include "platform/print/LayoutPainter.h"
#include "platform/print/PrintTexts.h"

namespace vorra::print {

namespace {

constexpr double kMmPerPoint = 25.4 / 72.0;

QString u8(const char* s) { return QString::fromUtf8(s); }

QString signedMm(double mm) {
    return (mm > 0 ? QStringLiteral("+") : QString()) + QString::number(mm, 'f', 1);
}

QFont pageFont(double points, bool bold = false) {
    QFont font(QString::fromLatin1(LayoutPainter::kFallbackFamily));
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

}  // namespace

std::vector<MarkMm> calibrationMarks(double w, double h) {
    const double in = kMarkInsetMm;
    return {{in, in}, {w - in, in}, {in, h - in}, {w - in, h - in}, {w / 2, h / 2}};
}

void paintCalibrationPage(QPainter& painter, double unitsPerPoint, const CalibrationSheet& sheet,
                          const PageAdjustment& adjustment) {
    const double u = unitsPerPoint / kMmPerPoint;  // device units per millimetre
    const double w = sheet.paperWidthPt * kMmPerPoint, h = sheet.paperHeightPt * kMmPerPoint;
    auto at = [u](double xMm, double yMm) { return QPointF(xMm * u, yMm * u); };

    painter.save();
    painter.setWorldTransform(LayoutPainter::transformOf(adjustment, unitsPerPoint), true);
    painter.setRenderHint(QPainter::Antialiasing, true);
    QPen pen(Qt::black, 0.15 * u);
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);

    // The rulers: a tick every millimetre, longer at 5 and 10, numbered every 10 mm by
    // the distance from the paper's edge.
    const QFont numbers = pageFont(5);
    painter.setFont(numbers);
    const QFontMetricsF numberMetrics(numbers, painter.device());
    const double base = kRulerInsetMm, start = kRulerInsetMm + 8;
    painter.drawLine(at(start, base), at(w - base, base));
    painter.drawLine(at(base, start), at(base, h - base));
    auto tick = [](int mm) { return mm % 10 == 0 ? 3.5 : mm % 5 == 0 ? 2.2 : 1.2; };
    for (int mm = static_cast<int>(std::ceil(start)); mm <= w - base; ++mm) {
        painter.drawLine(at(mm, base), at(mm, base + tick(mm)));
        if (mm % 10 != 0) continue;
        const QString label = QString::number(mm);
        painter.drawText(at(mm, base + 3.5) + QPointF(-numberMetrics.horizontalAdvance(label) / 2,
                                                      numberMetrics.ascent() + 0.4 * u),
                         label);
    }
    for (int mm = static_cast<int>(std::ceil(start)); mm <= h - base; ++mm) {
        painter.drawLine(at(base, mm), at(base + tick(mm), mm));
        if (mm % 10 != 0) continue;
        painter.drawText(at(base + 3.9, mm) +
                             QPointF(0, numberMetrics.ascent() / 2 - numberMetrics.descent() / 2),
                         QString::number(mm));
    }

    // The crosses, each with its position; the ones on the right are labelled on their
    // left.
    const QFont markFont = pageFont(6);
    painter.setFont(markFont);
    const QFontMetricsF markMetrics(markFont, painter.device());
    for (const MarkMm& m : calibrationMarks(w, h)) {
        painter.drawLine(at(m.x - kMarkArmMm, m.y), at(m.x + kMarkArmMm, m.y));
        painter.drawLine(at(m.x, m.y - kMarkArmMm), at(m.x, m.y + kMarkArmMm));
        painter.drawEllipse(at(m.x, m.y), 1.2 * u, 1.2 * u);
        const QString label = QStringLiteral("(%1, %2)").arg(m.x, 0, 'f', 1).arg(m.y, 0, 'f', 1);
        const double width = markMetrics.horizontalAdvance(label);
        const QPointF corner = m.x > w * 0.75 ? at(m.x - 1.5, m.y + 1.5) - QPointF(width, 0)
                                              : at(m.x + 1.5, m.y + 1.5);
        painter.drawText(corner + QPointF(0, markMetrics.ascent()), label);
    }

    // What the page is and how to read it, between the left crosses and the centre
    // cross, in a font small enough to fit.
    const QString printer = QString::fromStdString(sheet.printer);
    const QStringList lines{
        u8(texts::kCalibrationTitle)
            .arg(QString::fromStdString(sheet.sheetName))
            .arg(w, 0, 'f', 0)
            .arg(h, 0, 'f', 0),
        u8(texts::kCalibrationInForce)
            .arg(printer, signedMm(adjustment.offsetXmm), signedMm(adjustment.offsetYmm))
            .arg(adjustment.scaleX, 0, 'f', 3)
            .arg(adjustment.scaleY, 0, 'f', 3),
        u8(texts::kCalibrationStep1),
        u8(texts::kCalibrationStep2).arg(kMarkInsetMm),
        u8(texts::kCalibrationStep3).arg(kMarkInsetMm),
        u8(texts::kCalibrationStep4),
        u8(texts::kCalibrationStep5),
    };
    const QRectF box(at(kMarkInsetMm + kMarkArmMm + 4, kMarkInsetMm + kMarkArmMm + 1),
                     at(w / 2 - kMarkArmMm - 3, h - kMarkInsetMm - kMarkArmMm - 1));
    for (double size = 9; size >= 3; size -= 0.5) {
        QFont font = pageFont(size);
        const QFontMetricsF metrics(font, painter.device());
        QRectF needed(box.topLeft(), QSizeF(box.width(), 0));
        for (const QString& line : lines) {
            const QRectF r = metrics.boundingRect(QRectF(box.left(), 0, box.width(), 1e9),
                                                  Qt::TextWordWrap, line);
            needed.setHeight(needed.height() + r.height());
        }
        if (needed.height() > box.height() && size > 3) continue;
        double y = box.top();
        for (int i = 0; i < lines.size(); ++i) {
            font.setBold(i == 0);
            painter.setFont(font);
            const QRectF r(box.left(), y, box.width(), box.bottom() - y);
            QRectF used;
            painter.drawText(r, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, lines[i], &used);
            y += used.height();
        }
        break;
    }
    painter.restore();
}

}  // namespace vorra::print
