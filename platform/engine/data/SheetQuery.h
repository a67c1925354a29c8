#pragma once
// A small query language over the sheets of a workbook, enough for reading a list of
// records the way a database provider reads a workbook: the first used row of a sheet
// holds the column headings, the rows below it are the records.
//
//   select * from [批量打印$] Where 收款人户名 <> ''
//   select 收款人户名, 金额 from [Sheet1$] where 金额 > 100 and 用途 = '货款'
//
// Keywords are case-insensitive; column names are headings, bare or in brackets;
// literals are quoted texts ('' inside for a quote) or numbers; conditions compare a
// column with a literal (= <> < > <= >=) joined by AND and OR (AND binds tighter). An
// empty cell is NULL: it satisfies no comparison. Anything else is refused with a
// message that says what was not understood.

#include <string>
#include <vector>

#include "addin/frame/host/DataAccess.h"
#include "platform/engine/model/Model.h"

namespace vorra::engine {

struct SheetQuery;  // the parsed query

// Parses a query text; throws host::HostError with a clear message.
SheetQuery parseSheetQuery(const std::string& sql);

// Runs a parsed query on a workbook's values.
host::Recordset runSheetQuery(const SheetQuery& query, const WorkbookModel& workbook);

// The value of "Data Source" in a connection string ("Provider=…;Data Source=/x.xls").
// Throws host::HostError when there is none.
std::string dataSourceOf(const std::string& connectionString);

struct Comparison {
    std::string column;
    std::string op;  // = <> < > <= >=
    host::Value literal;
};

// Conditions in disjunctive form: the query matches a row when every comparison of
// at least one group holds. No groups: every row matches.
struct SheetQuery {
    std::vector<std::string> columns;  // empty: every column ("*")
    std::string sheet;
    std::vector<std::vector<Comparison>> anyOf;
};

}  // namespace vorra::engine
