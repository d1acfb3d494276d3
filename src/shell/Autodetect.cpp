#include "shell/Autodetect.h"

#include "shell/Session.h"

namespace shell {

bool autodetectController(Session& s, const std::function<void(int)>& checkPortItem) {
    constexpr int Found = 10388, NotFound = 10389, NoController = 30001;
    bool found = false;
    for (int n = 1; n <= 8; ++n) {
        const QString name = QStringLiteral("com%1").arg(n);
        const QString portText = QLatin1Char(' ') + name;
        s.channel.ClosePort();
        if (found) continue;
        if (!s.channel.ProbePort(name)) {
            s.message(s.text(NotFound) + portText);
            continue;
        }
        s.channel.setSelectedPort(name);
        if (checkPortItem) checkPortItem(n);
        s.controller.ReadVersion();
        if (s.controller.controllerPresent()) {
            s.message(s.text(Found) + portText);
            found = true;
        } else {
            s.message(s.text(NotFound) + portText);
        }
    }
    s.channel.ClosePort();
    if (!found) s.message(s.text(NoController));
    return found;
}

} // namespace shell
