// The commands of this subsystem that show a form.
#include "addin/frame/Commands.h"
#include "addin/frame/Public_XlApp.h"
#include "addin/templates/MB_frm.h"
#include "addin/templates/VorraMB_frm.h"

namespace vorra {

void showTemplateImport() { dialogs::FormInstance<VorraMB_frm>::show(connectedHost().toolkit()); }
void showTemplateList() { dialogs::FormInstance<MB_frm>::show(connectedHost().toolkit()); }

}  // namespace vorra
