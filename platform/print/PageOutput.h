#pragma once
// What printing to a PDF file and printing on a printer of the print service share: the
// paper as Qt's page layout, the order of the pages for several copies, and drawing the
// pages in that order on a paged device.

#include <vector>

#include <QPageLayout>
#include <QPainter>

#include "platform/engine/print/PrintLayout.h"
#include "platform/print/LayoutPainter.h"

namespace vorra::print {

// Host errors for printing without a running QGuiApplication (see GuiApplicationScope)
// and for a copy count outside 1 to 999.
void requireGuiApplication();
void requireCopies(int copies);

// The whole paper of the layout as the page, without margins: the layout has placed
// everything, margins included. Custom sizes keep their sides as given (a cheque is
// wider than high).
QPageLayout paperLayout(const engine::PrintLayout& layout);

// The order in which pages go out for several copies: each copy complete when
// collated, else each page repeated. Page indexes into layout.pages.
std::vector<int> pageSequence(int pageCount, int copies, bool collate);

// Draws the layout's pages in pageSequence order on a device (a QPdfWriter or a
// QPrinter) that `painter` has begun on, each page moved by the printer's adjustment.
template <class Device>
void paintPages(Device& device, QPainter& painter, const engine::PrintLayout& layout, int copies,
                bool collate, const PageAdjustment& adjustment) {
    LayoutPainter pages(painter, device.resolution() / 72.0);
    bool first = true;
    for (int index : pageSequence(static_cast<int>(layout.pages.size()), copies, collate)) {
        if (!first) device.newPage();
        first = false;
        pages.paintPage(layout.pages[static_cast<size_t>(index)], adjustment);
    }
}

}  // namespace vorra::print
