#pragma once
// The payee, payer and purpose books on the fill-in sheet 常用单位账号: the unit table
// (C 序号, D 简称 to I 县) and the purpose table (J 用途序号, K 用途), both from row 8,
// and the current-bill cells above them. Nothing is held between two operations:
// every operation locates its rows afresh on the sheet. Host errors skip the failing
// statement, so a workbook without the sheet finds nothing and writes nothing.

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "addin/frame/TemplateLayout.h"
#include "addin/frame/host/Host.h"

namespace vorra::books {

// The look-ups search rows 8 to 50007 of their column.
inline constexpr int kSearchLastRow = 50007;

// The fill-in sheet of the active workbook; nullptr when there is none.
std::shared_ptr<host::Worksheet> fillInSheet(host::Application& app);

// Lifts / restores the sheet's protection with the sheet password; a failure (no
// sheet, wrong password, already in that state) skips the statement.
void liftProtection(host::Worksheet* sheet);
void restoreProtection(host::Worksheet* sheet);

// The first row at or below startRow whose cell in the column equals the empty text;
// the first gap ends the column. With a guard column, a row counts as free only when
// its cell in that column is empty as well, so that a record whose key cell alone is
// empty is passed over instead of overwritten. 0 when the sheet cannot be read.
int firstFreeRow(host::Worksheet& sheet, int column, int startRow, int guardColumn = 0);

// The cells of the column from row 8 to the free row inclusive that hold the text
// itself, compared as text (ASCII letters without regard to case, as the host compares
// entries). The text is never read as a criterion: "苏州*", "~1" or "<>" stand for
// themselves, not for a pattern or a comparison.
int countEntries(host::Worksheet& sheet, int column, int freeRow, const std::string& text);

// Writes on the fill-in sheet, one cell a statement, a text stored as that text
// whatever the cell's format (keptText): a write the host refuses is
// skipped and remembered.
class CellWriter {
public:
    explicit CellWriter(host::Worksheet& sheet) : sheet_(sheet) {}
    host::Worksheet& sheet() const { return sheet_; }
    void set(int row, int column, const host::Value& value);
    void set(const char* reference, const host::Value& value);
    // Counts as a write that did not arrive.
    void markFailed() { failed_ = true; }
    bool failed() const { return failed_; }

private:
    host::Worksheet& sheet_;
    bool failed_ = false;
};

// How a write on the fill-in sheet ended.
enum class BookWrite {
    Done,
    NoSheet,  // the active workbook has no sheet 常用单位账号
    Failed,   // a write did not arrive (the protection could not be lifted, or a cell refused)
};

// Writes on 常用单位账号, found by name whichever sheet is active: lifts its protection,
// runs the writes, and protects it again. No other sheet is unprotected or protected.
BookWrite writeFillInSheet(host::Application& app, const std::function<void(CellWriter&)>& writes);

// A unit as listed: its book row and the displayed texts of D to I.
struct UnitRecord {
    int row = 0;
    std::array<std::string, 6> fields;  // 简称, 户名, 账号, 开户行, 省, 县
    const std::string& shortName() const { return fields[0]; }
    const std::string& accountName() const { return fields[1]; }
};

// A purpose as listed: its book row, J and K as displayed.
struct PurposeRecord {
    int row = 0;
    std::string code;
    std::string text;
};

// The rows of the column range whose value contains the text, in the host's find
// order: after the range's first cell, so that a match in that cell comes last.
std::vector<int> findAllRows(host::Worksheet& sheet, const host::Area& within, const std::string& text);

// Units whose account name (E8:E50007) contains the text; only when none does, units
// whose short name (D8:D50007) contains it.
std::vector<UnitRecord> searchUnits(host::Worksheet& sheet, const std::string& text);
// The same search's book rows alone, and one unit of a row as listed, for a list that
// reads the texts of its rows only as it shows them.
std::vector<int> searchUnitRows(host::Worksheet& sheet, const std::string& text);
UnitRecord unitAt(host::Worksheet& sheet, int row);

// Purposes whose text (K8:K50007) contains the text.
std::vector<PurposeRecord> searchPurposes(host::Worksheet& sheet, const std::string& text);

// Writes a unit into D:I of the current payee row 4 or payer row 5. A listed unit is
// copied from its book row as the cells hold it (an account number stays the number or
// text it is), unless the row no longer holds that unit; then the listed texts are
// written.
void setCurrentUnit(host::Worksheet& sheet, int currentRow, const UnitRecord& unit);
inline void setCurrentPayee(host::Worksheet& sheet, const UnitRecord& unit) {
    setCurrentUnit(sheet, layout::kPayeeRow, unit);
}
inline void setCurrentPayer(host::Worksheet& sheet, const UnitRecord& unit) {
    setCurrentUnit(sheet, layout::kPayerRow, unit);
}
// Writes the purpose text into K5.
void setCurrentPurpose(host::Worksheet& sheet, const std::string& purpose);

// The first row from 8 to lastRow whose account number in column F is the same digit
// string as the typed one (blanks ignored), text cell or number cell alike; 0 when
// none is, or when the typed number is empty.
int rowWithAccount(host::Worksheet& sheet, const std::string& typedAccount, int lastRow);

}  // namespace vorra::books
