#include "platform/print/PageOutput.h"

#include <QGuiApplication>
#include <QPageSize>

#include <string>

#include "addin/frame/host/HostError.h"

namespace vorra::print {

using host::HostError;

void requireGuiApplication() {
    if (QGuiApplication::instance() == nullptr)
        throw HostError(host::error::kApplicationDefined,
                        "Printing needs a running QGuiApplication (see GuiApplicationScope)");
}

void requireCopies(int copies) {
    if (copies < 1 || copies > 999)
        throw HostError(host::error::kInvalidArgument,
                        "Copies must be 1 to 999, not " + std::to_string(copies));
}

QPageLayout paperLayout(const engine::PrintLayout& layout) {
    QPageSize size(QSizeF(layout.paperWidth, layout.paperHeight), QPageSize::Point,
                   QString(), QPageSize::ExactMatch);
    QPageLayout page(size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Point,
                     QMarginsF(0, 0, 0, 0));
    // Margins below a printer's minimum are the template's business, not the driver's.
    page.setMode(QPageLayout::FullPageMode);
    return page;
}

std::vector<int> pageSequence(int pageCount, int copies, bool collate) {
    std::vector<int> order;
    if (collate) {
        for (int c = 0; c < copies; ++c)
            for (int p = 0; p < pageCount; ++p) order.push_back(p);
    } else {
        for (int p = 0; p < pageCount; ++p)
            for (int c = 0; c < copies; ++c) order.push_back(p);
    }
    return order;
}

}  // namespace vorra::print
