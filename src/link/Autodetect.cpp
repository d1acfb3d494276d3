#include "link/Autodetect.h"

#include "link/Controller.h"

QStringList autodetectComPorts() {
    QStringList ports;
    for (int n = 1; n <= 8; ++n)
        ports << QStringLiteral("com%1").arg(n);
    return ports;
}

AutodetectResult autodetect(Controller& c, const QStringList& ports,
                            const std::function<void(const AutodetectStep&)>& progress,
                            const std::atomic<bool>* cancel) {
    SerialChannel& ch = c.channel();
    AutodetectResult r;
    for (const QString& port : ports) {
        ch.ClosePort();
        if (!r.found.isEmpty()) continue;
        if (cancel && cancel->load()) {
            r.cancelled = true;
            continue;
        }
        AutodetectStep step{port, false, false};
        if (ch.ProbePort(port)) {
            step.opened = true;
            ch.setSelectedPort(port);
            c.ReadVersion();
            step.found = c.controllerPresent();
            if (step.found) r.found = port;
        }
        r.steps.push_back(step);
        if (progress) progress(step);
    }
    ch.ClosePort();
    r.selected = ch.selectedPort();
    return r;
}
