// The add-user form is not part of the add-in yet: its button does nothing.
#include "addin/frame/Commands.h"

namespace vorra {
void showAddUserForm() {}
}  // namespace vorra
