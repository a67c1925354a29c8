#pragma once
// The paper layout of the template's bill sheets. Each form is a list of fields, each
// field a box in millimetres from the top-left corner of the paper (where the
// pre-printed field is on the form) and the formula that fills it from the fill-in
// cells of 常用单位账号. From the boxes the sheet gets its column widths, row heights,
// merged cells and print area, so that each field's text lands in its box.
//
// Column widths print in whole pixels at 96 dpi and row heights in steps of 0.75 pt
// (one pixel), so every box edge lands within half a pixel (0.13 mm) of its nominal
// place.

#include <optional>
#include <string>
#include <vector>

#include "addin/frame/host/Host.h"
#include "platform/engine/model/Model.h"

namespace vorra::tools {

struct BoxMm {
    double left, right, top, bottom;  // millimetres from the paper's top-left corner
};

struct BillField {
    std::string label;    // what the pre-printed form calls the field
    BoxMm box;
    std::string formula;  // without "="; "@DATE@" stands for the helper cell of the date in capitals
    engine::HAlign hAlign = engine::HAlign::Left;
    engine::VAlign vAlign = engine::VAlign::Center;
    double fontSize = 11;
};

struct BillForm {
    std::string sheet;  // sheet name, also the paper's name in the paper table when it has one
    std::string paper;  // paper table name
    double marginMm = 2.54;
    std::vector<BillField> fields;
    bool dateInCapitals = false;  // keeps the cheque date in capitals in a helper cell
};

// The forms of the bill sheets that have a paper layout: 现金支票, 转账支票, 进账单,
// 业务委托书, 现金缴款单.
const std::vector<BillForm>& billForms();
const BillForm* billForm(const std::string& sheet);

// Where a form's boxes put the sheet's cells.
struct FormGrid {
    std::vector<double> columnChars;  // width of columns 1.., characters of the default font
    std::vector<double> rowPoints;    // height of rows 1.., points
    std::vector<host::Area> fieldAreas;  // per field, in the order of BillForm::fields
    host::Area printArea;
    host::CellRef dateHelper;  // label in column A, the date in capitals in column B
};

// maxDigitWidth: pixels of the widest digit of the workbook's default font.
FormGrid formGrid(const BillForm& form, int maxDigitWidth);

// The cell (top-left of its merged area) that prints a field of a bill sheet, by the
// field's label; nothing for an unknown sheet or label.
std::optional<host::CellRef> billFieldCell(const std::string& sheet, const std::string& label,
                                           int maxDigitWidth = 8);

// Lays the form out on a sheet of the embedded engine: paper, margins, column widths,
// row heights, merges, fonts and alignment in the model, and the fields' formulas
// through the host.
void layOutBillSheet(host::Worksheet& sheet, const BillForm& form);

// Formula texts of the printed fields, over the fill-in cells (given as references).
std::string amountDigitFormula(const std::string& amountCell, int place);  // place 0 = 分 … 10 = 亿

}  // namespace vorra::tools
