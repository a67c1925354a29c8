#include "AddinTestHost.h"

#include "addin/frame/TemplateLayout.h"
#include "tools/sampletemplate/SampleTemplate.h"

namespace vorra::testing {

AddinTestHost::AddinTestHost(const std::string& version, bool withTemplate)
    : app(version, &services) {
    book = app.addWorkbook();
    if (withTemplate) tools::buildSampleTemplate(*book);
    XlApp = &app;
}

AddinTestHost::~AddinTestHost() {
    toolkit.unloadAll();
    XlApp = nullptr;
}

host::Value AddinTestHost::cell(const std::string& sheet, const std::string& address) {
    return app.sheets(sheet)->range(address).scalar();
}

std::string AddinTestHost::text(const std::string& sheet, const std::string& address) {
    return cell(sheet, address).toText();
}

void AddinTestHost::put(const std::string& sheet, const std::string& address,
                        const host::Variant& value) {
    auto s = app.sheets(sheet);
    bool wasProtected = s->isProtected();
    if (wasProtected) s->unprotect(layout::kSheetPassword);
    s->range(address).setValue(value);
    if (wasProtected) s->protect(layout::kSheetPassword);
}

std::vector<std::string> AddinTestHost::messages() const {
    return toolkit.lines(headless::Record::Kind::Message);
}

}  // namespace vorra::testing
