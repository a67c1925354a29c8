#include "addin/batch/No1_Class.h"

#include "addin/batch/BatchTexts.h"
#include "addin/frame/TemplateLayout.h"
#include "addin/frame/Public_XlApp.h"
#include "addin/frame/Shell.h"

namespace vorra {

using host::resume;

bool acceptedImportPath(const std::string& path) {
    auto dot = path.rfind('.');
    if (dot == std::string::npos) return false;
    std::string extension = path.substr(dot + 1);
    return extension == "xls" || extension == "xlsx";
}

std::string importConnectionString(const std::string& path) {
    const bool quoted = path.find_first_of(";\"'") != std::string::npos ||
                        (!path.empty() && (path.front() == ' ' || path.back() == ' '));
    if (!quoted) return texts::kImportConnectionPrefix + path;
    std::string value = "\"";
    for (char c : path) value += c == '"' ? std::string("\"\"") : std::string(1, c);
    return texts::kImportConnectionPrefix + value + "\"";
}

size_t No1_Class::fn2() {
    found_ = copied_ = 0;
    std::vector<std::string> chosen;
    resume([&] { chosen = XlApp->getOpenFilename(texts::kImportFilter, 0, texts::kImportTitle, false); });
    // A cancelled dialog gives the text "False", which has no dot.
    std::string path = chosen.empty() ? std::string("False") : chosen.front();
    if (path.empty() || !acceptedImportPath(path)) return copied_;

    // From here on a failing step is skipped and the next one is tried.
    host::Recordset records;
    bool opened = resume([&] {
        records = XlApp->dataAccess().query(importConnectionString(path), texts::kImportQuery);
    });
    if (!opened) return copied_;
    // The list holds 2000 records (rows 8 to 2007). Records beyond them are left out:
    // clearing the list never reaches past row 2007, so rows written there would
    // linger under a later, shorter list and be stepped into after its last record.
    constexpr size_t kListRecords = layout::kBatchLastRow - layout::kBatchFirstRow + 1;
    const size_t found = records.rows.size();
    if (records.rows.size() > kListRecords) records.rows.resize(kListRecords);
    if (resume([&] { XlApp->sheets(layout::kSheetBatch)->range("A8").copyFromRecordset(records); })) {
        found_ = found;
        copied_ = records.rows.size();
    }
    return copied_;
}

void No1_Class::tellLeftOut() const {
    if (found_ <= copied_) return;
    showMessage(texts::msgImportLeftOut(found_, copied_), dialogs::MsgBoxIcon::Information,
                texts::kTitleImportLeftOut);
}

}  // namespace vorra
