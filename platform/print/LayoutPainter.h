#pragma once
// Draws the pages of a print layout with a QPainter whose origin is the paper's
// top-left corner. Positions come from the layout in points and are only converted to
// the device's units: margins, scaling and centring are the layout's business. The one
// thing added is the printer's calibration (PrintCalibration.h), as the transform of
// the whole page, so that the PDF file, the printer and the preview move alike.
//
// Placing a text in its box, after the box is inset by the layout's insets:
// - across: left-aligned text starts at the left edge, right-aligned text ends at the
//   right edge, centred text is centred, distributed text runs from edge to edge with
//   even gaps between its characters;
// - down: the text's line (the font's ascent plus descent) touches the top or the
//   bottom edge or is centred between them;
// - a wrapped text is broken into lines to the box's width, and the block of lines is
//   placed the same way;
// - a shrink-to-fit text wider than its box is drawn in a font just small enough;
// - a number wider than its box is drawn as a row of "#", never cut off;
// - nothing shows outside the run's clip rectangle.

#include <map>
#include <string>

#include <QFont>
#include <QFontMetricsF>

#include "platform/engine/print/PrintLayout.h"
#include "platform/print/PrintCalibration.h"

class QPainter;
class QTransform;

namespace vorra::print {

class LayoutPainter {
public:
    // Families used for fonts that are not installed: a CJK family that the system's
    // fonts package provides, so that Chinese texts always have glyphs.
    static constexpr const char* kFallbackFamily = "WenQuanYi Micro Hei";

    // `unitsPerPoint`: device units per point (the device's resolution / 72).
    LayoutPainter(QPainter& painter, double unitsPerPoint);

    // Draws a page's runs, moved and scaled by the adjustment.
    void paintPage(const engine::PrintPage& page, const PageAdjustment& adjustment = {});
    void paintRun(const engine::TextRun& run);

    // The installed family that draws a font name of the sheet.
    QString familyFor(const std::string& fontName);

    // The adjustment as a transform of device units: offsets, then scale about the
    // paper's top-left corner.
    static QTransform transformOf(const PageAdjustment& adjustment, double unitsPerPoint);

private:
    QRectF device(const engine::RectPt& r) const;
    QFont fontFor(const engine::TextRun& run);
    void drawDistributed(const QString& text, double left, double right, double baseline,
                         const QFontMetricsF& metrics);

    QPainter& painter_;
    double unitsPerPoint_;
    std::map<std::string, QString> families_;
};

}  // namespace vorra::print
