// The command of batch printing that shows its dialog.
#include "addin/batch/PiliangDY_frm.h"
#include "addin/frame/Commands.h"
#include "addin/frame/Public_XlApp.h"

namespace vorra {

void showBatchForm() { dialogs::FormInstance<PiliangDY_frm>::show(XlApp->toolkit()); }

}  // namespace vorra
