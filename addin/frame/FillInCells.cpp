#include "addin/frame/FillInCells.h"

#include "addin/frame/Public_XlApp.h"
#include "addin/frame/TemplateLayout.h"

namespace vorra {

std::shared_ptr<host::Worksheet> fillInSheet() { return connectedHost().sheets(layout::kSheetFillIn); }

void writeFillInCells(const std::function<void(host::Worksheet& fillIn)>& writes) {
    auto sheet = fillInSheet();
    sheet->unprotect(layout::kSheetPassword);
    try {
        writes(*sheet);
    } catch (...) {
        host::resume([&] { sheet->protect(layout::kSheetPassword); });
        throw;
    }
    sheet->protect(layout::kSheetPassword);
}

host::Value keptText(const host::Value& value) {
    if (!value.isText() || value.asText().empty()) return value;
    return host::Value::text("'" + value.asText());
}

host::Variant keptTexts(const host::Variant& values) {
    if (!values.isArray()) return keptText(values.scalar());
    host::Array2D block = values.array();
    for (int r = 1; r <= block.rows(); ++r)
        for (int c = 1; c <= block.columns(); ++c) block.at(r, c) = keptText(block.at(r, c));
    return block;
}

}  // namespace vorra
