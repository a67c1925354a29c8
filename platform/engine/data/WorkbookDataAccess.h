#pragma once
// Query access to workbook files for the host's data-access service: the connection
// string names the file, the engine's file readers read its values, and the query runs
// on them (SheetQuery.h).

#include "addin/frame/host/DataAccess.h"

namespace vorra::engine {

class WorkbookDataAccess final : public host::DataAccess {
public:
    host::Recordset query(const std::string& connectionString, const std::string& sql) override;
};

}  // namespace vorra::engine
