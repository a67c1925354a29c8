#pragma once
// Data access to other workbooks by query, the way the add-in's batch import reads a
// list: a connection string that names the workbook file, a query text, and a
// recordset of rows that a range can take from its top-left cell.

#include <string>
#include <vector>

#include "HostError.h"
#include "Value.h"

namespace vorra::host {

struct Recordset {
    std::vector<std::string> fields;       // column headings, in source order
    std::vector<std::vector<Value>> rows;  // one row per record, values in field order
};

class DataAccess {
public:
    virtual ~DataAccess() = default;
    // Opens the source the connection string names ("…;Data Source=<path>") and runs
    // the query on it. Throws HostError with a clear message when the source cannot be
    // read or the query is not understood.
    virtual Recordset query(const std::string& connectionString, const std::string& sql) = 0;
};

}  // namespace vorra::host
