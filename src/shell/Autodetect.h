#pragma once
#include <functional>

class Session;

namespace shell {

// AutodetekcjaMenuClick: tries COM1 ... COM8 in turn and keeps the first port
// on which a controller answers the version request. checkPortItem(n) checks
// the menu item PCOMn. Results go to status panel 1. Returns whether a
// controller was found.
bool autodetectController(Session& session, const std::function<void(int)>& checkPortItem);

} // namespace shell
