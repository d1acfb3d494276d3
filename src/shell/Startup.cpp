#include "shell/Startup.h"

#include "link/ControllerLink.h"
#include "live/LiveJobs.h"
#include "live/LiveModel.h"
#include "params/ParameterModel.h"
#include "shell/PollTimers.h"
#include "shell/ShellTexts.h"

namespace shell {

void resetRuntimeState(Models& m) {
    m.shell.labelHighlight = 0xEEEEEE;
    m.shell.keyboardFlag = false;
    m.live.resetPeriodFilter();
    m.link.run(nullptr, [](Controller& c) { c.channel().resetSilenceCounter(); });
}

void runStartupExchanges(Models& m) {
    live::postVersionFeatures(m.link, m.live, nullptr);
    live::postAnalogThreshold(m.link, m.params, nullptr);
    m.link.run(nullptr, [](Controller& c) { c.ReadVersion(); });
    live::postReadIgnition(m.link, m.live, nullptr);
    m.link.run(nullptr, [](Controller& c) {
        c.channel().ClosePort();
        c.channel().OpenPort();
    });
    m.link.startPolling(polltimer::name(polltimer::Obr), polltimer::Obr.intervalMs);
}

QString windowCaption(int versionCode, const ShellModel& shell) {
    const QString head = QStringLiteral("Quendrix wersja 4.3 (Build ") + Controller::defaultBuildText() +
                         QStringLiteral(" - ");
    if (versionCode != 0)
        return head + shell.text(textkey::CaptionController) + QLatin1Char(' ') +
               QString::number(versionCode);
    return head + shell.text(textkey::CaptionNoController);
}

} // namespace shell
