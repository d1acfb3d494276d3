#include "shell/Startup.h"

#include "shell/Session.h"

#include <QTimer>

namespace shell {

void resetRuntimeState(Session& s) {
    s.labelHighlight = 0xEEEEEE;
    s.keyboardFlag = false;
    s.periodFilter.reset();
    s.channel.resetSilenceCounter();
}

void runStartupExchanges(Session& s, const StartupSteps& steps) {
    if (steps.versionDependentControls) steps.versionDependentControls();
    if (steps.analogThreshold) steps.analogThreshold();
    s.controller.ReadVersion();
    if (steps.readIgnition) {
        steps.readIgnition();
    } else {
        s.controller.ReadIgnition();
        if (s.showIgnitionIndex) s.showIgnitionIndex(s.controller.ignitionIndex());
        if (s.showWizardIgnitionIndex) s.showWizardIgnitionIndex(s.controller.ignitionIndex());
    }
    s.channel.ClosePort();
    s.channel.OpenPort();
    if (s.timers.TimerObr) s.timers.TimerObr->start();
}

} // namespace shell
