// Form commands whose forms are not part of the add-in yet: each does nothing until
// its subsystem provides the form.
#include "addin/frame/Commands.h"

namespace vorra {

void showTemplateImport() {}
void showPayeePayerForm() {}
void showPrintForm() {}
void showQuickFillForm() {}
void showBatchForm() {}
void showRecordsForm() {}
void showDateForm() {}
void showTemplateList() {}

}  // namespace vorra
