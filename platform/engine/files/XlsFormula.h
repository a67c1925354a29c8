#pragma once
// Formulas of the binary workbook format. A formula is stored as tokens in reverse
// Polish order (operands before their operator, arguments before their function),
// followed by the data of its array constants. References to other sheets go through
// the workbook's table of sheet ranges (EXTERNSHEET), whose entries name a book (this
// workbook, the add-in functions or another workbook, SUPBOOK records) and sheets in
// it; names are numbered in the order of the NAME records.
//
// Reading turns the tokens into the engine's formula text, every reference written by
// the one reference grammar (addin/frame/host/Reference.h); writing parses the text
// with the engine's own parser (formula/Parser.h) and emits the tokens of its tree.

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/engine/files/XlsRecords.h"
#include "platform/engine/model/Model.h"

namespace vorra::engine::xls {

// What formulas name beyond their own sheet, as the workbook globals list it.
struct LinkTable {
    enum class BookKind { Own, AddIns, External, Other };
    struct Book {
        BookKind kind = BookKind::Other;
        std::string path;                  // External: the workbook's file as stored
        std::vector<std::string> sheets;   // External: its sheet names
        std::vector<std::string> names;    // the book's names (EXTERNNAME)
    };
    // One entry of the sheet-range table: a book and the first and last of its sheets.
    static constexpr std::uint16_t kWholeBook = 0xFFFE, kDeletedSheet = 0xFFFF;
    struct SheetRange {
        std::uint16_t book = 0;
        std::uint16_t first = 0;
        std::uint16_t last = 0;
        friend bool operator==(const SheetRange&, const SheetRange&) = default;
    };
    struct Name {
        std::string name;      // as the model names it ("_xlnm.Print_Area" for the built-in)
        int sheet = -1;        // the sheet of a sheet-local name, -1 for the workbook's
        bool function = false;  // the name of a function called by name
    };
    std::vector<Book> books;
    std::vector<SheetRange> ranges;
    std::vector<Name> names;
    std::vector<std::string> sheets;  // this workbook's sheets in order
};

// A formula's tokens cannot be read: refused with the file (FormatError).
// A formula that is well-formed but uses what this reader does not turn into text (a
// token of macro sheets, a function the table lacks): the cell keeps its last value.
class UnsupportedFormula : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct FormulaBytes {
    std::string_view tokens;  // the rgce
    std::string_view extra;   // what follows them: array constants, areas of memory tokens
};

// The formula text (without "=") of tokens stored for the cell `at` (1-based) of sheet
// `sheet` (0-based). `relative`: references of the relative kind (shared formulas,
// names) count from `at`. `maxLength` bounds the text. Throws FormatError or
// UnsupportedFormula.
std::string decodeFormula(const FormulaBytes& bytes, const LinkTable& links, CellRef at, int sheet,
                          size_t maxLength);

// ---- Writing --------------------------------------------------------------------------

struct EncodedFormula {
    Bytes tokens;
    Bytes extra;
    bool isVolatile = false;
};

// Encodes the workbook's formulas, collecting the books, sheet ranges and names they
// need; once every formula is encoded, links() is what the globals must hold.
class FormulaEncoder {
public:
    // `names` are the names the file will hold first, in their order (NAME records
    // number them so); names the formulas call for come after them.
    FormulaEncoder(const WorkbookModel& workbook, const std::vector<DefinedName>& names);
    // A cell's formula on sheet `sheet`. Throws host::HostError with the reason when
    // the formula cannot be stored in the format; `where` names the cell.
    EncodedFormula cell(const std::string& formula, int sheet, const std::string& where);
    // A defined name's formula (references as references, "Sheet1!$A$1:$B$2,…" lists
    // of areas too).
    EncodedFormula name(const std::string& formula, const std::string& where);
    const LinkTable& links() const { return links_; }

private:
    friend class TreeEncoder;
    std::uint16_t range(std::uint16_t book, std::uint16_t first, std::uint16_t last);
    std::uint16_t ownBook();
    int sheetIndex(const std::string& name) const;
    std::uint16_t nameIndex(const std::string& name, int sheet, bool qualified, bool function);
    std::pair<std::uint16_t, std::uint16_t> addInName(const std::string& name);
    std::uint16_t externalSheet(int link, const std::string& sheet);

    const WorkbookModel& workbook_;
    LinkTable links_;
    int ownBook_ = -1;
    int addInBook_ = -1;
    std::vector<int> externalBooks_;  // model link index → book
};

// The records of the table: SUPBOOK with their EXTERNNAME, EXTERNSHEET, in the order
// the globals need them (NAME records are written by the caller, who has their
// formulas).
void writeLinkRecords(RecordWriter& out, const LinkTable& links);

// Reads the table's records from the globals (one call per record).
void readSupBook(const Record& r, LinkTable& links);
void readExternName(const Record& r, LinkTable& links);
void readExternSheet(const Record& r, LinkTable& links);

// The built-in names by their code in the NAME record (Print_Area is 6).
std::string builtInName(unsigned code);
int builtInNameCode(std::string_view name);  // -1 for other names

}  // namespace vorra::engine::xls
