#include "platform/print/LayoutPainter.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>
#include <QTransform>

#include <algorithm>
#include <vector>

namespace vorra::print {

using engine::HAlign;
using engine::VAlign;

LayoutPainter::LayoutPainter(QPainter& painter, double unitsPerPoint)
    : painter_(painter), unitsPerPoint_(unitsPerPoint) {}

QRectF LayoutPainter::device(const engine::RectPt& r) const {
    return {r.x * unitsPerPoint_, r.y * unitsPerPoint_, r.width * unitsPerPoint_,
            r.height * unitsPerPoint_};
}

QString LayoutPainter::familyFor(const std::string& fontName) {
    auto it = families_.find(fontName);
    if (it != families_.end()) return it->second;
    QString wanted = QString::fromStdString(fontName);
    QString family = QFontDatabase::hasFamily(wanted) ? wanted : QString(kFallbackFamily);
    families_.emplace(fontName, family);
    return family;
}

QFont LayoutPainter::fontFor(const engine::TextRun& run) {
    QFont font(familyFor(run.fontName));
    font.setPointSizeF(run.fontSize > 0 ? run.fontSize : 1);
    font.setBold(run.bold);
    font.setItalic(run.italic);
    font.setUnderline(run.underline);
    // Glyph positions as the font designs them, not rounded to device pixels.
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    return font;
}

void LayoutPainter::drawDistributed(const QString& text, double left, double right,
                                    double baseline, const QFontMetricsF& metrics) {
    // One piece per character (surrogate pairs kept together); the gaps between the
    // pieces share what the line leaves of the width. A single character is centred.
    std::vector<QString> pieces;
    for (int i = 0; i < text.size(); ++i) {
        const int length = (text[i].isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        pieces.push_back(text.mid(i, length));
        i += length - 1;
    }
    if (pieces.empty()) return;
    double used = 0;
    for (const QString& p : pieces) used += metrics.horizontalAdvance(p);
    if (pieces.size() == 1 || used >= right - left) {
        const double x = pieces.size() == 1 ? (left + right - used) / 2 : left;
        painter_.drawText(QPointF(x, baseline), text);
        return;
    }
    const double gap = (right - left - used) / static_cast<double>(pieces.size() - 1);
    double x = left;
    for (const QString& p : pieces) {
        painter_.drawText(QPointF(x, baseline), p);
        x += metrics.horizontalAdvance(p) + gap;
    }
}

QTransform LayoutPainter::transformOf(const PageAdjustment& a, double unitsPerPoint) {
    const double unitsPerMm = unitsPerPoint * 72.0 / 25.4;
    return QTransform(a.scaleX, 0, 0, a.scaleY, a.offsetXmm * unitsPerMm, a.offsetYmm * unitsPerMm);
}

void LayoutPainter::paintPage(const engine::PrintPage& page, const PageAdjustment& adjustment) {
    painter_.save();
    painter_.setWorldTransform(transformOf(adjustment, unitsPerPoint_), true);
    for (const engine::TextRun& run : page.runs) paintRun(run);
    painter_.restore();
}

void LayoutPainter::paintRun(const engine::TextRun& run) {
    QFont font = fontFor(run);
    const QString text = QString::fromStdString(run.text);
    QRectF content = device(run.box).adjusted(
        run.insetX * unitsPerPoint_, run.insetY * unitsPerPoint_, -run.insetX * unitsPerPoint_,
        -run.insetY * unitsPerPoint_);
    if (run.shrinkToFit && content.width() > 0) {
        const double natural = QFontMetricsF(font, painter_.device()).horizontalAdvance(text);
        if (natural > content.width())
            font.setPointSizeF(std::max(1.0, font.pointSizeF() * content.width() / natural));
    }
    const QFontMetricsF metrics(font, painter_.device());
    QString shown = text;
    if (run.numeric && !run.shrinkToFit && metrics.horizontalAdvance(text) > content.width()) {
        // A number cut off at the cell's edge would print a wrong amount: like the
        // sheet, fill the cell with "#" instead.
        const double hash = metrics.horizontalAdvance(QLatin1Char('#'));
        const int count = hash > 0 ? static_cast<int>(content.width() / hash) : 0;
        shown = QString(std::max(count, 1), QLatin1Char('#'));
    }

    // The lines to draw, with their widths.
    struct Line {
        QString text;
        double width;
    };
    std::vector<Line> lines;
    if (run.wrap && content.width() > 0) {
        QTextLayout layout(shown, font, painter_.device());
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(content.width());
            lines.push_back({shown.mid(line.textStart(), line.textLength()).trimmed(), 0});
        }
        layout.endLayout();
    } else {
        // A line break in an unwrapped cell shows as nothing, as on the sheet.
        QString single = shown;
        single.replace(QLatin1Char('\n'), QString()).replace(QLatin1Char('\r'), QString());
        lines.push_back({single, 0});
    }
    for (Line& line : lines) line.width = metrics.horizontalAdvance(line.text);

    const double lineHeight = metrics.ascent() + metrics.descent();
    const double blockHeight = lineHeight * static_cast<double>(lines.size());
    double top = content.top();
    if (run.vAlign == VAlign::Bottom) top = content.bottom() - blockHeight;
    if (run.vAlign == VAlign::Center) top = content.center().y() - blockHeight / 2;

    painter_.save();
    painter_.setClipRect(device(run.clip));
    painter_.setFont(font);
    painter_.setPen(QColor::fromRgb(static_cast<QRgb>(0xFF000000u | run.rgb)));
    for (const Line& line : lines) {
        const double baseline = top + metrics.ascent();
        if (run.hAlign == HAlign::Distributed) {
            drawDistributed(line.text, content.left(), content.right(), baseline, metrics);
        } else {
            double x = content.left();
            if (run.hAlign == HAlign::Right) x = content.right() - line.width;
            if (run.hAlign == HAlign::Center) x = content.center().x() - line.width / 2;
            painter_.drawText(QPointF(x, baseline), line.text);
        }
        top += lineHeight;
    }
    painter_.restore();
}

}  // namespace vorra::print
