#pragma once
// The print service CUPS, through libcups: the server that the environment names
// (CUPS_SERVER, the user's client.conf), else the local one. Without a running
// server it lists no printers and every printer is missing.

#include "platform/print/PrintService.h"

namespace vorra::print {

class CupsService final : public PrintService {
public:
    std::vector<std::string> printers() override;
    std::string defaultPrinter() override;
    QueueState queue(const std::string& printer) override;
    int submit(const PrintJobRequest& job) override;
    JobStatus job(const std::string& printer, int id) override;
    void cancel(const std::string& printer, int id) override;
    void wait(std::chrono::milliseconds interval) override;
};

}  // namespace vorra::print
