// The printed 转账支票 drawn over a picture of its pre-printed form: the fields fill the
// form's blanks without touching its captions. With VORRA_PICTURE_PDF set, the PDF is
// kept at that path (docs/template.md makes the screenshot from it); with
// VORRA_FORM_PICTURE set, the blank form alone is drawn there as a 200 dpi picture, a
// stand-in for a scan in the print preview (scripts/desktop-screenshots.sh).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include <unistd.h>

#include <QImage>
#include <QPainter>
#include <QPdfWriter>

#include "PdfWords.h"
#include "platform/engine/host/EngineHost.h"
#include "platform/engine/print/CellGeometry.h"
#include "platform/engine/print/PrintLayout.h"
#include "platform/print/LayoutPainter.h"
#include "tools/sampletemplate/BillForms.h"
#include "tools/sampletemplate/SampleTemplate.h"

namespace vorra::print {
namespace {

namespace fs = std::filesystem;
using testing::pdfWords;
using testing::PdfWord;

// What the bank's printer put on the cheque before us, in the same nominal millimetres
// as the template's field boxes.
struct Caption {
    const char* text;
    tools::BoxMm box;
    double points = 8;
    bool centred = false;
};

const Caption kCaptions[] = {
    {"××银行", {4, 64, 3, 9}, 9, true},
    {"转账支票存根", {4, 64, 9.5, 15.5}, 11, true},
    {"附加信息", {3, 22, 20, 25}},
    {"出票日期", {2, 12, 43.5, 48.5}, 6.5},
    {"收款人:", {2, 12, 49.5, 54.5}, 6.5},
    {"金　额:", {2, 12, 55.5, 60.5}, 6.5},
    {"用　途:", {2, 12, 61.5, 66.5}, 6.5},
    {"单位主管", {3, 20, 70, 75}},
    {"会计", {40, 52, 70, 75}},
    {"××银行　转账支票", {100, 210, 3, 10}, 13, true},
    {"出票日期(大写)", {72, 102, 13, 18}},
    {"年", {121, 124, 13, 18}},
    {"月", {138, 141, 13, 18}},
    {"日", {155, 158, 13, 18}},
    {"付款行名称:", {166, 188, 13, 18}},
    {"收款人:", {72, 87, 19.5, 24.5}},
    {"出票人账号:", {166, 188, 19.5, 24.5}},
    {"人民币", {72, 91, 26.5, 31}},
    {"(大写)", {72, 91, 31, 35.5}},
    {"用途", {72, 84, 38.5, 43.5}},
    {"密码", {166, 180, 38.5, 43.5}},
    {"上列款项请从", {72, 110, 46, 51}},
    {"我账户内支付", {72, 110, 52, 57}},
    {"行号", {166, 180, 46, 51}},
    {"出票人签章", {72, 100, 66, 71}},
    {"复核", {170, 182, 66, 71}},
    {"记账", {205, 217, 66, 71}},
};
const char* const kPlaceCaptions[] = {"亿", "千", "百", "十", "万", "千", "百", "十", "元", "角", "分"};

class FormDrawing {
public:
    FormDrawing(QPainter& painter, double unitsPerMm) : p_(painter), u_(unitsPerMm) {}

    void draw() {
        QPen pen(QColor(0x2e, 0x7d, 0x6b));
        pen.setWidthF(0.2 * u_);
        p_.setPen(pen);
        rect(1, 1, 67, 79);     // stub
        rect(69, 1, 239, 79);   // body
        QPen perforation = pen;
        perforation.setStyle(Qt::DashLine);
        p_.setPen(perforation);
        line(68, 0, 68, 80);
        p_.setPen(pen);
        for (double y : {30.0, 36.0, 41.0}) line(3, y, 66, y);
        for (double y : {48.5, 54.5, 60.5, 66.5}) line(12, y, 66, y);
        line(103, 18, 158, 18), line(188, 18, 237, 18);
        line(87, 24.5, 165, 24.5), line(188, 24.5, 237, 24.5);
        rect(70, 26, 235.5, 36);
        line(180.5, 26, 180.5, 36), line(180.5, 30, 235.5, 30);
        for (int i = 1; i < 11; ++i) line(180.5 + 5 * i, 26, 180.5 + 5 * i, 36);
        line(84, 43.5, 128, 43.5), line(180, 43.5, 236, 43.5), line(180, 51, 236, 51);
        for (const Caption& c : kCaptions) text(c);
        for (int i = 0; i < 11; ++i)
            text({kPlaceCaptions[i], {180.5 + 5 * i, 185.5 + 5 * i, 26, 30}, 6, true});
    }

private:
    QPointF at(double x, double y) const { return {x * u_, y * u_}; }
    void rect(double l, double t, double r, double b) { p_.drawRect(QRectF(at(l, t), at(r, b))); }
    void line(double x0, double y0, double x1, double y1) { p_.drawLine(at(x0, y0), at(x1, y1)); }
    void text(const Caption& c) {
        QFont font(LayoutPainter::kFallbackFamily);
        font.setPointSizeF(c.points);
        p_.setFont(font);
        p_.drawText(QRectF(at(c.box.left, c.box.top), at(c.box.right, c.box.bottom)),
                    (c.centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter, QString::fromUtf8(c.text));
    }

    QPainter& p_;
    double u_;
};

// The cheque printed over its form, as one PDF page.
void writePicture(const engine::PrintLayout& layout, const fs::path& target) {
    QPdfWriter writer(QString::fromStdString(target.string()));
    writer.setResolution(600);
    QPageLayout page(QPageSize(QSizeF(layout.paperWidth, layout.paperHeight), QPageSize::Point, QString(),
                               QPageSize::ExactMatch),
                     QPageLayout::Portrait, QMarginsF());
    page.setMode(QPageLayout::FullPageMode);
    writer.setPageLayout(page);
    QPainter painter(&writer);
    const double unitsPerPoint = writer.resolution() / 72.0;
    FormDrawing(painter, unitsPerPoint * engine::kPointsPerMm).draw();
    painter.setPen(Qt::black);
    LayoutPainter(painter, unitsPerPoint).paintPage(layout.pages.at(0));
}

bool overlap(const PdfWord& a, const PdfWord& b) {
    return a.xMin < b.xMax && b.xMin < a.xMax && a.yMin < b.yMax && b.yMin < a.yMax;
}

TEST(ChequePicture, PrintedFieldsFillTheBlanksWithoutTouchingTheCaptions) {
    engine::EngineApplication app("16.0");
    auto book = std::dynamic_pointer_cast<engine::EngineWorkbook>(app.addWorkbook());
    tools::buildSampleTemplate(*book);
    tools::writeSampleBill(*book, tools::SampleBill{});
    const engine::PrintLayout layout = engine::layoutSheet(book->model(), book->model().sheetIndex("转账支票"));

    const char* keep = std::getenv("VORRA_PICTURE_PDF");
    const fs::path pdf = keep ? fs::path(keep)
                              : fs::temp_directory_path() / ("vorra-cheque-picture-" + std::to_string(::getpid()) + ".pdf");
    writePicture(layout, pdf);
    const std::vector<PdfWord> words = pdfWords(pdf);

    std::vector<PdfWord> captions, fields;
    for (const PdfWord& w : words) {
        bool printed = false;
        for (const engine::TextRun& run : layout.pages[0].runs) printed |= run.text == w.text;
        (printed ? fields : captions).push_back(w);
    }
    EXPECT_EQ(fields.size(), layout.pages[0].runs.size());
    EXPECT_GE(captions.size(), std::size(kCaptions));
    for (const PdfWord& field : fields)
        for (const PdfWord& caption : captions)
            EXPECT_FALSE(overlap(field, caption)) << "\"" << field.text << "\" covers \"" << caption.text << "\"";
    if (!keep) fs::remove(pdf);

    if (const char* picture = std::getenv("VORRA_FORM_PICTURE")) {
        constexpr double kDpi = 200;
        QImage form(int(240 / 25.4 * kDpi), int(80 / 25.4 * kDpi), QImage::Format_RGB32);
        form.fill(QColor(0xf4, 0xfa, 0xf6));
        form.setDotsPerMeterX(int(kDpi / 0.0254 + 0.5));
        form.setDotsPerMeterY(int(kDpi / 0.0254 + 0.5));
        {
            QPainter painter(&form);
            painter.setRenderHint(QPainter::Antialiasing, true);
            FormDrawing(painter, kDpi / 25.4).draw();
        }
        EXPECT_TRUE(form.save(QString::fromUtf8(picture)));
    }
}

}  // namespace
}  // namespace vorra::print
