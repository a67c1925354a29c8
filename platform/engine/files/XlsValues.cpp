#include "platform/engine/files/XlsValues.h"

#include <freexl.h>

#include <cstdio>

#include "platform/engine/files/FileError.h"
#include "platform/engine/format/DateSerial.h"

namespace vorra::engine::files {

namespace {

constexpr char kCompoundSignature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

struct XlsHandle {
    const void* handle = nullptr;
    ~XlsHandle() {
        if (handle) freexl_close(handle);
    }
};

// Days since the workbook's epoch for "YYYY-MM-DD[ HH:MM:SS]" or "HH:MM:SS", the
// texts FreeXL gives for date and time cells.
double serialOf(const std::string& text, bool date1904) {
    int y = 0, m = 0, d = 0, hh = 0, mm = 0, ss = 0;
    double days = 0;
    if (std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d", &y, &m, &d, &hh, &mm, &ss) >= 3) {
        days = format::dateToSerial(y, m, d, date1904 ? format::DateSystem::From1904 : format::DateSystem::From1900);
    } else {
        std::sscanf(text.c_str(), "%d:%d:%d", &hh, &mm, &ss);
    }
    return days + (hh * 3600 + mm * 60 + ss) / 86400.0;
}

}  // namespace

bool isCompoundFile(std::string_view head) {
    return head.size() >= 8 && head.substr(0, 8) == std::string_view(kCompoundSignature, 8);
}

bool isEncryptedPackage(std::string_view bytes) {
    // Directory entries of a compound file name their streams in UTF-16LE.
    static const std::string name = [] {
        std::string s;
        for (char c : std::string_view("EncryptionInfo")) {
            s += c;
            s += '\0';
        }
        return s;
    }();
    return bytes.find(name) != std::string_view::npos;
}

std::unique_ptr<WorkbookModel> readXlsValues(const std::string& path) {
    XlsHandle xls;
    int rc = freexl_open(path.c_str(), &xls.handle);
    if (rc != FREEXL_OK)
        refuseFile(path, "not a readable binary .xls (97-2003) workbook (error " + std::to_string(rc) + ")");
    unsigned int password = 0;
    if (freexl_get_info(xls.handle, FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK &&
        password == FREEXL_BIFF_OBFUSCATED)
        refuseFile(path, "password-protected workbook (binary .xls); remove the password first");
    unsigned int count = 0, dateMode = 0;
    freexl_get_info(xls.handle, FREEXL_BIFF_SHEET_COUNT, &count);
    freexl_get_info(xls.handle, FREEXL_BIFF_DATEMODE, &dateMode);
    auto model = std::make_unique<WorkbookModel>();
    model->date1904 = dateMode == FREEXL_BIFF_DATEMODE_1904;
    for (unsigned short i = 0; i < count; ++i) {
        const char* name = nullptr;
        if (freexl_get_worksheet_name(xls.handle, i, &name) != FREEXL_OK ||
            freexl_select_active_worksheet(xls.handle, i) != FREEXL_OK)
            refuseFile(path, "sheet " + std::to_string(i + 1) + " of the .xls workbook cannot be read");
        auto sheet = std::make_unique<Sheet>();
        sheet->name = name ? name : "";
        unsigned int rows = 0;
        unsigned short columns = 0;
        freexl_worksheet_dimensions(xls.handle, &rows, &columns);
        if (rows > unsigned(host::kMaxRows) || columns > host::kMaxColumns)
            refuseFile(path, "sheet \"" + sheet->name + "\" is larger than the sheet's limits");
        for (unsigned int r = 0; r < rows; ++r) {
            for (unsigned short c = 0; c < columns; ++c) {
                FreeXL_CellValue v;
                if (freexl_get_cell_value(xls.handle, r, c, &v) != FREEXL_OK) continue;
                Value value;
                switch (v.type) {
                    case FREEXL_CELL_INT: value = Value::number(v.value.int_value); break;
                    case FREEXL_CELL_DOUBLE: value = Value::number(v.value.double_value); break;
                    case FREEXL_CELL_TEXT:
                    case FREEXL_CELL_SST_TEXT:
                        value = Value::text(v.value.text_value ? v.value.text_value : "");
                        break;
                    case FREEXL_CELL_DATE:
                    case FREEXL_CELL_DATETIME:
                    case FREEXL_CELL_TIME:
                        value = Value::number(serialOf(v.value.text_value ? v.value.text_value : "", model->date1904));
                        break;
                    default: continue;
                }
                sheet->cells.at({int(r) + 1, int(c) + 1}).value = std::move(value);
            }
        }
        model->sheets.push_back(std::move(sheet));
    }
    if (model->sheets.empty()) refuseFile(path, "the .xls workbook has no sheets");
    return model;
}

}  // namespace vorra::engine::files
