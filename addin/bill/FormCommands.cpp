// The commands of bill entry that show a form.
#include "addin/bill/PrintForm.h"
#include "addin/frame/Commands.h"
#include "addin/frame/Public_XlApp.h"

namespace vorra {

void showPrintForm() { dialogs::FormInstance<Frm_打印票据>::show(connectedHost().toolkit()); }
void showQuickFillForm() { dialogs::FormInstance<Kuaijie_TX_frm>::show(connectedHost().toolkit()); }

}  // namespace vorra
